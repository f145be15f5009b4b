#include "shell/widgets/RecordTypesWindow.h"

#include "analysis/RecordTypes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace brisden {

RecordTypesWindow::RecordTypesWindow(QWidget* owner) : QDockWidget(owner)
{
    setObjectName(QStringLiteral("RecordTypes"));
    setWindowTitle(QStringLiteral("Record types"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    m_label = new QLabel(body);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(m_label);
    layout->addStretch();
    setWidget(body);
}

void RecordTypesWindow::showEvent(QShowEvent* event)
{
    if (Tag == QLatin1String("A")) {
        Tag.clear();
        // The legend's lines end with CR LF; a label breaks at the LF.
        QString text = RecordTypesLegendText();
        text.remove(QLatin1Char('\r'));
        m_label->setText(text);
    }
    QDockWidget::showEvent(event);
}

void RecordTypesWindow::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

}  // namespace brisden
