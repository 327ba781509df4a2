#pragma once

// Marks a text that the core hands to an adapter for translation: the text stays as
// written, in the interface's source language (Japanese), and the adapter that shows it
// translates it in `context`. Qt's translation tools read the mark as QT_TRANSLATE_NOOP
// (the -tr-function-alias of cmake/view.cmake), so the catalogues in translations/ list
// the text where the core names it, while the core includes no Qt.
#define TAVLIN_TRANSLATE_NOOP(context, text) text
