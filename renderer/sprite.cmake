# The sprite texture and its bitmap loader (included by renderer/CMakeLists.txt).
# tamaruka_dib is the bitmap decoder alone, free of OpenGL and SDL, so that
# the tests, the fuzz target, the benchmark and dibdump use it headless.
add_library(tamaruka_dib STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dib_header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_pixel_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_rle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_loader.cpp)
target_include_directories(tamaruka_dib PUBLIC ${PROJECT_SOURCE_DIR})

add_library(tamaruka_sprite_texture STATIC ${CMAKE_CURRENT_LIST_DIR}/sprite_texture.cpp)
target_include_directories(tamaruka_sprite_texture PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tamaruka_sprite_texture
  PUBLIC tamaruka_dib tamaruka_common OpenGL::GL PkgConfig::GLU)
