#include "ui/shell/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "app/document_commands.h"
#include "app/output_file.h"
#include "reports/owned_printer.h"
#include "ui/shell/italian_toolkit.h"

namespace acquenza::ui {

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The extension a document chosen in a save dialog gets from its caller:
// that of the dialog's filter ("*.csv" gives ".csv"), none for "*".
std::string ExtensionOf(const FileDialogRequest& request) {
    if (request.filters.empty()) {
        return {};
    }
    const std::string& pattern = request.filters.front().pattern;
    return pattern.starts_with("*.") ? pattern.substr(1) : std::string();
}

// The name box of the toolkit's own file dialog shows `initialName`; the
// user types behind `prefix`, which stays unselected, while the rest of a
// name chosen before is selected to be typed over.
void KeepPrefix(QFileDialog& dialog, const QString& prefix) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr || !name->text().startsWith(prefix)) {
        return;
    }
    // Once the dialog is on screen: selecting a file selects the whole name.
    QTimer::singleShot(0, name, [name, prefix] {
        if (name->text().startsWith(prefix)) {
            name->setSelection(static_cast<int>(prefix.size()),
                               static_cast<int>(name->text().size() - prefix.size()));
        }
    });
}

}  // namespace

bool QtDialogs::RefuseProjectFile(const std::string& file, const std::string& extension,
                                  const std::string& title) {
    const std::string project = projectFile_ ? projectFile_() : std::string();
    if (project.empty()) {
        return false;
    }
    const std::optional<std::string> why = ProjectAsOutput(file, extension, project);
    if (!why) {
        return false;
    }
    Show({title, *why + " Scegliere un altro nome.", MessageIcon::Stop, MessageButtons::Ok,
          Answer::Ok});
    return true;
}

std::unique_ptr<PrinterDevice> QtDialogs::ChoosePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setDocName(QStringLiteral("Acquenza - relazione"));
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    const QString title = QStringLiteral("Stampa della relazione");
    dialog.setWindowTitle(title);
    while (dialog.exec() == QDialog::Accepted) {
        // Printing to a file: a PDF file, named so, and never the project.
        const QString file = printer->outputFileName();
        if (printer->outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
            if (RefuseProjectFile(file.toStdString(), ".pdf", title.toStdString())) {
                continue;
            }
            printer->setOutputFileName(
                QString::fromStdString(WithExtension(file.toStdString(), ".pdf").string()));
        }
        // A PDF file chosen here is written as every file of the program's
        // is; a file of another user is replaced by root only when the user
        // says so.
        WriteOptions options;
        if (const std::optional<std::filesystem::path> pdf = PdfFileOf(*printer)) {
            PreparedFile check;
            const ArchiveResult ready = check.Prepare(*pdf, options);
            if (!ready.ok && ready.ownedByOther) {
                if (!AskYesNo(DocumentCommands::DocumentTitle,
                              OthersFileQuestion(ready, pdf->string()), MessageIcon::Question,
                              Answer::No)) {
                    return nullptr;
                }
                options.replaceOthersFile = true;
            }
        }
        return PrintOn(std::move(printer), options);
    }
    return nullptr;
}

Answer QtDialogs::Show(const Message& message) {
    QMessageBox box(IconOf(message.icon), QString::fromStdString(message.title),
                    QString::fromStdString(message.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (message.buttons == MessageButtons::YesNoCancel) {
        QPushButton* yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        QPushButton* cancel = box.addButton(QStringLiteral("&Annulla"), QMessageBox::RejectRole);
        box.setDefaultButton(message.defaultAnswer == Answer::No       ? no
                             : message.defaultAnswer == Answer::Cancel ? cancel
                                                                       : yes);
        // Escape, or closing the box, changes nothing.
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == yes  ? Answer::Yes
               : box.clickedButton() == no ? Answer::No
                                           : Answer::Cancel;
    }
    if (message.buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(message.defaultAnswer == Answer::No ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
    return Answer::Ok;
}

std::optional<std::string> QtDialogs::ChooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title));
    // The toolkit's own dialog, in Italian whatever the system's language;
    // it also lets the data files' prefix stand in the name box.
    MakeFileDialogItalian(dialog);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileFilter& f : request.filters) {
        filters << QString::fromStdString(f.description) + QStringLiteral(" (") +
                       QString::fromStdString(f.pattern) + QLatin1Char(')');
    }
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[request.selectedFilter]);
    }
    if (!programFolder_.empty()) {
        QList<QUrl> places = dialog.sidebarUrls();
        const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(programFolder_.string()));
        if (!places.contains(folder)) {
            places << folder;
        }
        dialog.setSidebarUrls(places);
    }
    const QString prefix = QString::fromStdString(request.namePrefix);
    if (!request.initialName.empty()) {
        dialog.selectFile(QString::fromStdString(request.initialName));
    }
    if (!prefix.isEmpty()) {
        KeepPrefix(dialog, prefix);
    }
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const std::string chosen = dialog.selectedFiles().constFirst().toStdString();
        if (save && !request.projectFile &&
            RefuseProjectFile(chosen, ExtensionOf(request), request.title)) {
            continue;
        }
        return chosen;
    }
    return std::nullopt;
}

std::optional<Rgb> QtDialogs::ChooseColour(Rgb current) {
    // The toolkit's own dialog, whose words are Italian like the program's.
    const QColor chosen = QColorDialog::getColor(
        QColor(current.red, current.green, current.blue), QApplication::activeWindow(),
        QStringLiteral("Colore di sfondo"), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return Rgb{chosen.red(), chosen.green(), chosen.blue()};
}

}  // namespace acquenza::ui
