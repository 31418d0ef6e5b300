// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>

namespace td {

/// Installs the program's translation for `locale` and Qt's own (standard
/// buttons, dialogs) and makes `locale` the default for dates and numbers.
/// Ours comes from a "translations" folder beside the program when there is
/// one, else from the copy built in; a language we have no translation for
/// gets the English one, which only supplies English plural forms. Returns
/// the language whose translation was installed ("de", "en").
QString installTranslations(const QLocale& locale = QLocale::system());
/// Removes what installTranslations() installed.
void removeTranslations();

} // namespace td
