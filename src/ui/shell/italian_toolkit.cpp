#include "ui/shell/italian_toolkit.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>

namespace acquenza::ui {

namespace {

const QLocale Italian(QLocale::Italian, QLocale::Italy);

// The file dialog's model writes sizes and dates in the system's language
// ("8 Dec", "bytes" under LANG=C); these columns are written again here in
// the toolkit's, which is Italian.
class ItalianFileDetails final : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid()) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
            case SizeColumn:
                if (files->isDir(source)) {
                    return QIdentityProxyModel::data(index, role);
                }
                return QLocale().formattedDataSize(files->size(source), 2,
                                                   QLocale::DataSizeTraditionalFormat);
            case DateColumn:
                return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }

  private:
    // The columns of QFileSystemModel: name, size, type, date modified.
    static constexpr int SizeColumn = 1;
    static constexpr int DateColumn = 3;
};

}  // namespace

ItalianToolkit::ItalianToolkit() {
    QLocale::setDefault(Italian);
    translated_ = translator_.load(Italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                                   TranslationsFolder());
    if (translated_) {
        QCoreApplication::installTranslator(&translator_);
    }
}

ItalianToolkit::~ItalianToolkit() {
    if (translated_) {
        QCoreApplication::removeTranslator(&translator_);
    }
    QLocale::setDefault(previous_);
}

QString ItalianToolkit::TranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

void MakeFileDialogItalian(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ItalianFileDetails(&dialog));
}

}  // namespace acquenza::ui
