#pragma once

#include <QImage>

namespace tsukio {

// The program's own icon at any size: a tear-off calendar page showing the 1st.
QImage AppIcon(int size);

}  // namespace tsukio
