#include "platform/qt/font_substitutions.h"

#include <QFont>
#include <QStringList>

#include "platform/font_substitutes.h"

namespace tsukio {

void RegisterFontSubstitutions() {
  const auto text = [](std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
  };
  for (const FontSubstitute& substitute : kFontSubstitutes) {
    QStringList families;
    for (const std::string_view family : substitute.families) {
      if (!family.empty()) families.append(text(family));
    }
    QFont::insertSubstitutions(text(substitute.face), families);
  }
}

}  // namespace tsukio
