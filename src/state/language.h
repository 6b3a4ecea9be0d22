#pragma once

#include <QLocale>

// The program's texts in the user's language.
namespace trovix {

// Loads the translation of the program's texts for the first of `locale`'s languages that has
// one (the desktop's LANGUAGE and LANG decide QLocale()'s), and Qt's own for its dialogs'
// buttons. The English source texts stand where no translation is found, "C" among them. Returns
// the language loaded, or an empty text for English.
QString loadTranslations(const QLocale& locale = QLocale());

// Loads a translation file for the program's texts in place of the one loaded before: for trying
// a translation, and for checking the window with a longer one. False when it cannot be read.
bool loadTranslationFile(const QString& path);

// English counts its records "1 record", "2 records": the source texts say "%n record(s)", and
// the English plural forms come from a translation of their own, loaded first, under any other.
// Every program that holds the window's state loads it as its application starts.
void loadEnglishPluralForms();

}  // namespace trovix
