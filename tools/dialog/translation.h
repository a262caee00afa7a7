// The dialogs' texts in the operator's language (gettext, domain "txads").
// `_("text")` translates; `N_("text")` only marks a text for translation.
#pragma once

#include <libintl.h>

#define _(text) gettext(text)
#define N_(text) text

namespace txads::dialog {

// Sets the locale from the environment and finds the translations: next to
// the program in the build tree ("locale/"), else where they are installed.
void init_translation();

}  // namespace txads::dialog
