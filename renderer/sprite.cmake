# The sprite texture and its bitmap loader (included by renderer/CMakeLists.txt).
add_library(tamaruka_sprite_texture STATIC ${CMAKE_CURRENT_LIST_DIR}/sprite_texture.cpp)
target_include_directories(tamaruka_sprite_texture PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tamaruka_sprite_texture PUBLIC tamaruka_common OpenGL::GL PkgConfig::GLU)
