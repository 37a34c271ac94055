#pragma once
// Qt's own words in Italian whatever the language of the system: the buttons
// and labels of the standard dialogs, the context menus of the text boxes,
// and the dates and sizes the toolkit writes in its file dialog. Numbers in
// the program's files never go through the toolkit's locale.

#include <QLocale>
#include <QString>
#include <QTranslator>

class QFileDialog;

namespace acquenza::ui {

class ItalianToolkit {
  public:
    // Loads Qt's Italian translations (the qtbase catalogue from the Qt
    // translations package) and makes Italian the toolkit's language; the
    // previous language comes back on destruction.
    ItalianToolkit();
    ~ItalianToolkit();
    ItalianToolkit(const ItalianToolkit&) = delete;
    ItalianToolkit& operator=(const ItalianToolkit&) = delete;

    // False when the translations are not installed: the toolkit's own
    // buttons then stay in English.
    bool Translated() const { return translated_; }
    // Where the translations are looked for.
    static QString TranslationsFolder();

  private:
    QLocale previous_;
    QTranslator translator_;
    bool translated_ = false;
};

// The toolkit's own file dialog, never the desktop's (whose words follow the
// system's language), with its size and date columns written in Italian.
void MakeFileDialogItalian(QFileDialog& dialog);

}  // namespace acquenza::ui
