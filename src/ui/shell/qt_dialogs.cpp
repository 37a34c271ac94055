#include "ui/shell/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

#include "reports/owned_printer.h"

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

}  // namespace

std::unique_ptr<PrinterDevice> QtDialogs::ChoosePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setDocName(QStringLiteral("Acquenza - relazione"));
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Stampa della relazione"));
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return PrintOn(std::move(printer));
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
    if (!request.initialName.empty()) {
        dialog.selectFile(QString::fromStdString(request.initialName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<Rgb> QtDialogs::ChooseColour(Rgb current) {
    const QColor chosen =
        QColorDialog::getColor(QColor(current.red, current.green, current.blue),
                               QApplication::activeWindow(), QStringLiteral("Colore di sfondo"));
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return Rgb{chosen.red(), chosen.green(), chosen.blue()};
}

}  // namespace acquenza::ui
