#include "shell/widgets/RecordTypesWindow.h"

#include "analysis/RecordTypes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>

namespace brisden {

RecordTypesWindow::RecordTypesWindow(QWidget* owner) : QDockWidget(owner)
{
    setObjectName(QStringLiteral("RecordTypes"));
    setWindowTitle(QStringLiteral("Record types"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    // The legend scrolls when the window is too low for all of it.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_label = new QLabel(scroll);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMargin(4);
    scroll->setWidget(m_label);
    setWidget(scroll);
}

void RecordTypesWindow::showEvent(QShowEvent* event)
{
    if (Tag == QLatin1String("A")) {
        Tag.clear();
        // The legend's lines end with CR LF; a label breaks at the LF.
        QString text = RecordTypesLegendText();
        text.remove(QLatin1Char('\r'));
        m_label->setText(text);
        // As wide as its longest line, with room for the scroll bar.
        widget()->setMinimumWidth(m_label->sizeHint().width() +
                                  style()->pixelMetric(QStyle::PM_ScrollBarExtent));
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
