#pragma once

namespace tsukio {

// Gives Qt's widgets the fonts of font_substitutes.h for the faces the program asks for, in
// Qt's own table, so it holds without any fontconfig alias. Safe to call more than once.
void RegisterFontSubstitutions();

}  // namespace tsukio
