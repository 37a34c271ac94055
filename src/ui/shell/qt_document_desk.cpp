#include "ui/shell/qt_document_desk.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace acquenza::ui {

std::filesystem::path QtDocumentDesk::DocumentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return folder.toStdString();
}

std::string QtDocumentDesk::Timestamp() {
    return QDateTime::currentDateTime()
        .toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
        .toStdString();
}

bool QtDocumentDesk::Open(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

}  // namespace acquenza::ui
