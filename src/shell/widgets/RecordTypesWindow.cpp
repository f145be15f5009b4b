#include "shell/widgets/RecordTypesWindow.h"

#include "analysis/RecordTypes.h"

#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace brisden {

RecordTypesWindow::RecordTypesWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("RecordTypes"));
    setWindowTitle(QStringLiteral("Record types"));
    setModal(false);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
}

void RecordTypesWindow::showEvent(QShowEvent* event)
{
    if (Tag == QLatin1String("A")) {
        Tag.clear();
        if (parentWidget())
            setWindowIcon(parentWidget()->windowIcon());
        // The legend's lines end with CR LF; a label breaks at the LF.
        QString text = RecordTypesLegendText();
        text.remove(QLatin1Char('\r'));
        m_label->setText(text);
        adjustSize();
        followOwner();
    }
    QDialog::showEvent(event);
}

void RecordTypesWindow::followOwner()
{
    const QWidget* owner = parentWidget();
    if (!owner)
        return;
    const QRect area = m_anchor ? m_anchor() : owner->geometry();
    const int x = area.right() - frameGeometry().width() - 4;
    const int y = area.top() + 4;
    move(std::max(area.left(), x), y);
}

void RecordTypesWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible())
        followOwner();
}

void RecordTypesWindow::reject()
{
    QDialog::reject();
    emit closedByUser();
}

}  // namespace brisden
