// The real file dialogs, used as a user would: the Save dialog's name box
// holds the data files' prefix with the cursor after it, so what the user
// types goes behind it; a document's save dialog never lets the project's
// own data file be chosen.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "reports/printer_device.h"
#include "ui/shell/qt_dialogs.h"

namespace acquenza::ui {
namespace {

namespace fs = std::filesystem;

// What the user does, one modal window after another: each step waits for
// the next dialog or message on screen and acts on it.
class User {
  public:
    using Step = std::function<void(QWidget*)>;

    void Then(Step step) { steps_.push_back(std::move(step)); }
    void Next(Step step) { steps_.push_front(std::move(step)); }

    // Runs `choose` (which opens the dialog) while the steps are played.
    template <typename F>
    auto While(F choose) {
        QTimer timer;
        // Guarded: a message box may be built where the last one was.
        QPointer<QWidget> lastSeen;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (clock.elapsed() > 20000 && modal != nullptr) {
                // Something else came up than the steps expect: the test
                // fails rather than waiting for ever.
                ADD_FAILURE() << "still open: " << modal->windowTitle().toStdString();
                steps_.clear();
                modal->close();
                return;
            }
            if (modal == nullptr || modal == lastSeen || steps_.empty()) {
                return;
            }
            lastSeen = modal;
            // Played from an event of its own: a step that opens another
            // modal window blocks until it closes, and a timer never fires
            // again while its own handler runs.
            QTimer::singleShot(0, modal,
                               [step = std::move(steps_.front()), modal] { step(modal); });
            steps_.pop_front();
        });
        timer.start(30);
        return choose();
    }
    bool Done() const { return steps_.empty(); }

  private:
    std::deque<Step> steps_;
};

QLineEdit* NameBox(QWidget* dialog) {
    EXPECT_NE(qobject_cast<QFileDialog*>(dialog), nullptr);
    auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(box, nullptr);
    return box;
}

// The dialog's Save button (Return could first pick a completion offered
// for the name typed).
void Enter(QLineEdit* box) {
    static_cast<QDialog*>(qobject_cast<QFileDialog*>(box->window()))->accept();
}

FileDialogRequest ProjectSave(const std::string& initialName) {
    return {FileDialogRequest::Kind::Save,
            "Salva file con nome",
            initialName,
            {{"File Acquenza-dati-", "Acquenza-dati-*"}},
            0,
            "Acquenza-dati-",
            true};
}

class FileDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("acquenza-dialogs-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        project = (folder / "Acquenza-dati-villa").string();
        std::ofstream(project) << "1\r\n";
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    std::string project;
    QtDialogs dialogs{folder, [this] { return project; }};
    User user;
};

TEST_F(FileDialogs, TheUserTypesBehindThePrefix) {
    // Each case: the name box at opening, with the cursor and the selection
    // found there, what the user types, and the file chosen.
    const struct {
        std::string initialName;
        QString shown;
        QString selected;
        std::function<void(QLineEdit*)> type;
        fs::path chosen;
    } cases[] = {
        {(folder / "Acquenza-dati-").string(), "Acquenza-dati-", "",
         [](QLineEdit* box) { QTest::keyClicks(box, "colle"); }, folder / "Acquenza-dati-colle"},
        // The name chosen before: its own part is selected, to be typed over.
        {project, "Acquenza-dati-villa", "villa",
         [](QLineEdit* box) { QTest::keyClicks(box, "borgo"); }, folder / "Acquenza-dati-borgo"},
        // A name typed deliberately without the prefix is taken as it is.
        {(folder / "Acquenza-dati-").string(), "Acquenza-dati-", "",
         [](QLineEdit* box) {
             box->selectAll();
             QTest::keyClicks(box, "rete-nord");
         },
         folder / "rete-nord"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.initialName);
        user.Then([&](QWidget* dialog) {
            QLineEdit* box = NameBox(dialog);
            EXPECT_EQ(box->text().toStdString(), c.shown.toStdString());
            EXPECT_EQ(box->selectedText().toStdString(), c.selected.toStdString());
            EXPECT_EQ(box->cursorPosition(), c.shown.size());
            c.type(box);
            Enter(box);
        });
        const auto chosen =
            user.While([&] { return dialogs.ChooseFile(ProjectSave(c.initialName)); });
        EXPECT_TRUE(user.Done());
        EXPECT_EQ(chosen, c.chosen.string());
    }
}

TEST_F(FileDialogs, ADocumentIsNeverWrittenOverTheProject) {
    const FileDialogRequest exportCsv{FileDialogRequest::Kind::Save,
                                      "Esporta in CSV",
                                      (folder / "riepilogo.csv").string(),
                                      {{"File CSV (separati da punto e virgola)", "*.csv"}},
                                      0};
    QString refusal;
    auto typeName = [](const QString& name) {
        return [name](QWidget* dialog) {
            QLineEdit* box = NameBox(dialog);
            box->selectAll();
            QTest::keyClicks(box, name);
            Enter(box);
        };
    };
    user.Then(typeName("Acquenza-dati-villa"));
    // The toolkit asks before replacing a file that exists: yes.
    user.Then([](QWidget* question) {
        auto* box = qobject_cast<QMessageBox*>(question);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Yes)->click();
    });
    user.Then([&](QWidget* message) {
        auto* box = qobject_cast<QMessageBox*>(message);
        ASSERT_NE(box, nullptr);
        refusal = box->text();
        box->accept();
    });
    // The same dialog again, for another name.
    user.Then(typeName("riepilogo-villa"));
    const auto chosen = user.While([&] { return dialogs.ChooseFile(exportCsv); });
    EXPECT_TRUE(user.Done());
    EXPECT_EQ(chosen, (folder / "riepilogo-villa").string());
    EXPECT_EQ(refusal.toStdString(),
              "Il file \"" + project + "\" è il file di dati del progetto (\"" + project +
                  "\"): scrivendoci il documento, il progetto andrebbe perso. Scegliere un "
                  "altro nome.");
    EXPECT_EQ(std::ifstream(project).get(), '1');

    // The project's own Save may of course name it.
    user.Then([](QWidget* dialog) { Enter(NameBox(dialog)); });
    user.Then([](QWidget* question) {
        qobject_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(user.While([&] { return dialogs.ChooseFile(ProjectSave(project)); }), project);
}

TEST_F(FileDialogs, ThePrinterDialogPrintsToAPdfFileButNotOverTheProject) {
    // The toolkit's printer dialog, printing to a file: `name` typed as the
    // file's name.
    auto printToFile = [](const QString& name) {
        return [name](QWidget* dialog) {
            ASSERT_NE(qobject_cast<QPrintDialog*>(dialog), nullptr);
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            ASSERT_NE(printers, nullptr);
            ASSERT_NE(file, nullptr);
            printers->setCurrentIndex(printers->count() - 1);  // "Stampa su file (PDF)"
            file->setText(name);
            static_cast<QDialog*>(dialog)->accept();
        };
    };
    QString refusal;
    user.Then(printToFile(QString::fromStdString(project)));
    std::function<void(QWidget*)> readRefusal = [&](QWidget* message) {
        auto* box = qobject_cast<QMessageBox*>(message);
        ASSERT_NE(box, nullptr);
        if (box->button(QMessageBox::Yes) != nullptr) {
            // The toolkit's own question whether to replace the file: yes.
            user.Next(readRefusal);
            box->button(QMessageBox::Yes)->click();
            return;
        }
        refusal = box->text();
        box->accept();
    };
    user.Then(readRefusal);
    const std::string pdf = (folder / "relazione").string();
    user.Then(printToFile(QString::fromStdString(pdf)));
    std::unique_ptr<PrinterDevice> printer = user.While([&] { return dialogs.ChoosePrinter(); });
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(user.Done());
    EXPECT_NE(refusal.toStdString().find("è il file di dati del progetto"), std::string::npos)
        << refusal.toStdString();
    printer->SetFont("Courier New", 10);
    printer->PrintLine({});
    printer->EndDocument();
    printer.reset();
    EXPECT_EQ(std::ifstream(project).get(), '1');
    EXPECT_TRUE(fs::exists(pdf + ".pdf"));  // named as a PDF file
}

}  // namespace
}  // namespace acquenza::ui
