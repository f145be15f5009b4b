#include "shell/widgets/RecordTypesWindow.h"

#include "analysis/RecordTypes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>

namespace brisden {

RecordTypesWindow::RecordTypesWindow(QWidget* owner) : QDockWidget(owner)
{
    setObjectName(QStringLiteral("RecordTypes"));
    setWindowTitle(QStringLiteral("Record types"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    m_pages = new QStackedWidget(this);
    // One column, scrolling when the window is too low for all of it.
    auto* scroll = new QScrollArea(m_pages);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_label = new QLabel(scroll);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMargin(4);
    scroll->setWidget(m_label);
    m_pages->addWidget(scroll);
    // Four columns of two lines.
    auto* wide = new QWidget(m_pages);
    auto* columns = new QHBoxLayout(wide);
    columns->setContentsMargins(6, 2, 6, 2);
    for (QLabel*& column : m_columns) {
        column = new QLabel(wide);
        column->setTextFormat(Qt::PlainText);
        column->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        columns->addWidget(column);
    }
    columns->addStretch();
    m_pages->addWidget(wide);
    setWidget(m_pages);
    connect(this, &QDockWidget::dockLocationChanged, this, [this](Qt::DockWidgetArea area) {
        setWide(area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea);
    });
    connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        if (floating)
            setWide(false);
    });
}

void RecordTypesWindow::setWide(bool wide)
{
    m_pages->setCurrentIndex(wide ? 1 : 0);
    // The page not shown takes no room.
    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->widget(i)->setSizePolicy(
            i == m_pages->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored,
            i == m_pages->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    m_pages->adjustSize();
}

bool RecordTypesWindow::wide() const
{
    return m_pages->currentIndex() == 1;
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
        m_pages->widget(0)->setMinimumWidth(m_label->sizeHint().width() +
                                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (int c = 0; c < 4; ++c)
            m_columns[c]->setText(lines.mid(2 * c, 2).join(QLatin1Char('\n')));
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
