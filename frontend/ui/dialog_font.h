#pragma once
#include <QFont>

namespace tamaruka {

// The font of the dialog's labels and button captions: "ＭＳ Ｐゴシック"
// 9.75 point, else its metric twin IPAPGothic, else any Japanese sans-serif.
QFont dialogFont();

}  // namespace tamaruka
