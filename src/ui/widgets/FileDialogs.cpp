#include "ui/widgets/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace brisden::ui {

QString ChooseExistingOrNew(QWidget* parent, const QString& title, const QString& filter,
                            const QString& suffix, const QString& startPath, bool mayCreate)
{
    QFileDialog dialog(parent, title);
    dialog.setNameFilter(filter);
    if (!suffix.isEmpty())
        dialog.setDefaultSuffix(suffix);
    dialog.setFileMode(mayCreate ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!startPath.isEmpty()) {
        const QFileInfo start(startPath);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString path = dialog.selectedFiles().first();
        if (!mayCreate || QFileInfo::exists(path))
            return path;
        QMessageBox ask(QMessageBox::Question, title,
                        QFileInfo(path).fileName() +
                            QStringLiteral("\nThis file does not exist.\nCreate the file?"),
                        QMessageBox::Yes | QMessageBox::No, parent);
        if (ask.exec() == QMessageBox::Yes)
            return path;
    }
}

QString ChoosePortfolioFile(QWidget* parent, const QString& startPath)
{
    return ChooseExistingOrNew(parent, QStringLiteral("Select a portfolio file"),
                               QStringLiteral("Portfolio Files (*.DEF *.def)"),
                               QStringLiteral("def"), startPath, true);
}

QString ChooseInvestmentFile(QWidget* parent, const QString& startPath)
{
    return ChooseExistingOrNew(parent, QStringLiteral("Select an investment file"),
                               QStringLiteral("Investment Files (*.DAT *.dat);;All Files (*)"),
                               QString(), startPath, false);
}

}  // namespace brisden::ui
