// Qt's own words in Italian on a system that speaks another language (the
// tests run under LANG=C): the standard buttons, the text boxes' context
// menu, the file dialog's labels and its size and date columns.

#include "ui/shell/italian_toolkit.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace acquenza::ui {
namespace {

namespace fs = std::filesystem;

bool SystemSpeaksItalian() {
    return QLocale::system().language() == QLocale::Italian;
}

// The words the toolkit shows in a few of its own widgets, with the
// accelerator marks left out.
struct ToolkitWords {
    std::string cancel, yes, paste, lookIn;
};

ToolkitWords WordsNow() {
    ToolkitWords words;
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    words.cancel =
        buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')).toStdString();
    words.yes =
        buttons.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')).toStdString();
    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    for (const QAction* action : menu->actions()) {
        const std::string text =
            action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0).toStdString();
        if (text == "Paste" || text == "Incolla") {
            words.paste = text;
        }
    }
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (const auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))) {
        words.lookIn = label->text().remove(QLatin1Char('&')).toStdString();
    }
    return words;
}

TEST(ItalianToolkit, StandardButtonsMenusAndDialogsSpeakItalianUntilItGoes) {
    if (SystemSpeaksItalian()) {
        GTEST_SKIP() << "the system already speaks Italian";
    }
    const ToolkitWords before = WordsNow();
    EXPECT_EQ(before.cancel, "Cancel");
    {
        const ItalianToolkit italian;
        ASSERT_TRUE(italian.Translated())
            << "no qtbase_it in " << ItalianToolkit::TranslationsFolder().toStdString()
            << " (package qt6-translations-l10n)";
        const ToolkitWords words = WordsNow();
        EXPECT_EQ(words.cancel, "Annulla");
        EXPECT_EQ(words.yes, "Sì");
        EXPECT_EQ(words.paste, "Incolla");
        EXPECT_EQ(words.lookIn, "Cerca in:");
        EXPECT_EQ(QLocale().language(), QLocale::Italian);
    }
    const ToolkitWords after = WordsNow();
    EXPECT_EQ(after.cancel, before.cancel);
    EXPECT_EQ(after.lookIn, before.lookIn);
    EXPECT_NE(QLocale().language(), QLocale::Italian);
}

// The detail columns of the file in the dialog's list, once it has read the
// folder: {size, date}.
std::pair<std::string, std::string> DetailsShown(QFileDialog& dialog, const QString& name) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        ADD_FAILURE() << "no detail view";
        return {};
    }
    QAbstractItemModel* model = view->model();
    QModelIndex row;
    const auto find = [&] {
        for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
            const QModelIndex index = model->index(r, 0, view->rootIndex());
            if (index.data().toString() == name) {
                row = index;
                return true;
            }
        }
        return false;
    };
    if (!QTest::qWaitFor(find, 5000)) {
        ADD_FAILURE() << "the dialog never listed " << name.toStdString();
        return {};
    }
    return {row.siblingAtColumn(1).data().toString().toStdString(),
            row.siblingAtColumn(3).data().toString().toStdString()};
}

TEST(ItalianToolkit, FileDialogWritesSizesAndDatesInItalian) {
    const fs::path folder =
        fs::temp_directory_path() / ("italian-dialog-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "Acquenza-dati-prova";
    std::ofstream(file) << std::string(2048, 'x');
    std::tm modified{};
    modified.tm_year = 2025 - 1900;
    modified.tm_mon = 11;
    modified.tm_mday = 8;
    modified.tm_hour = 10;
    modified.tm_isdst = -1;
    const utimbuf times{std::mktime(&modified), std::mktime(&modified)};
    ASSERT_EQ(utime(file.c_str(), &times), 0);

    const ItalianToolkit italian;
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(folder.string()));
    MakeFileDialogItalian(dialog);
    dialog.setViewMode(QFileDialog::Detail);
    const auto [size, date] = DetailsShown(dialog, QStringLiteral("Acquenza-dati-prova"));
    EXPECT_EQ(size, "2,00 kB");
    EXPECT_EQ(date, "08/12/25 10:00");
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));

    if (!SystemSpeaksItalian()) {
        // Left to itself the toolkit writes them in the system's language.
        QFileDialog plain(nullptr, QString(), QString::fromStdString(folder.string()));
        plain.setOption(QFileDialog::DontUseNativeDialog);
        const auto [plainSize, plainDate] =
            DetailsShown(plain, QStringLiteral("Acquenza-dati-prova"));
        EXPECT_NE(plainSize, size);
        EXPECT_NE(plainDate, date);
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace acquenza::ui
