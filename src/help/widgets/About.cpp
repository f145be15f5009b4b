#include "help/widgets/About.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QSysInfo>
#include <QVBoxLayout>
#include <QtGlobal>

namespace brisden::help {

QString LibraryVersions()
{
    QStringList lines;
    lines << QStringLiteral("Qt %1 (built with %2): Core, GUI, Widgets, Print Support, Charts, "
                            "Help, Network")
                 .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
#if defined(__clang__)
    lines << QStringLiteral("Compiled with Clang %1").arg(QStringLiteral(__clang_version__));
#elif defined(__GNUC__)
    lines << QStringLiteral("Compiled with GCC %1").arg(QStringLiteral(__VERSION__));
#endif
    lines << QStringLiteral("C++ standard library: %1")
#if defined(_LIBCPP_VERSION)
                 .arg(QStringLiteral("libc++ %1").arg(_LIBCPP_VERSION));
#elif defined(__GLIBCXX__)
                 .arg(QStringLiteral("libstdc++ %1").arg(__GLIBCXX__));
#else
                 .arg(QStringLiteral("unknown"));
#endif
    lines << QStringLiteral("Running on %1").arg(QSysInfo::prettyProductName());
    return lines.join(QLatin1Char('\n'));
}

About::About(const QString& programTitle, ui::IMessageBox& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_openUrl([](const QUrl& url) {
          return QDesktopServices::openUrl(url);
      })
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About ") + programTitle);
    setMouseTracking(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Label2"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setText(programTitle);
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    m_title->setFont(big);
    auto* subtitle = new QLabel(QStringLiteral("Investment ledger for private investors"), this);

    m_label1 = new QLabel(QLatin1String(kProjectAddress), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setTextFormat(Qt::PlainText);
    m_label1->setCursor(Qt::PointingHandCursor);
    m_label1->setMouseTracking(true);
    m_label1->setFocusPolicy(Qt::TabFocus);
    m_label1->installEventFilter(this);

    m_versions = new QLabel(LibraryVersions(), this);
    m_versions->setObjectName(QStringLiteral("Label3"));
    m_versions->setTextFormat(Qt::PlainText);
    m_versions->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* titles = new QVBoxLayout;
    titles->addWidget(m_title);
    titles->addWidget(subtitle);
    head->addLayout(titles, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(8);
    layout->addWidget(m_label1);
    layout->addSpacing(8);
    layout->addWidget(m_versions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Enter closes the box; the address is reached with Tab.
    m_command1->setFocus();
}

void About::highlightLink(bool on)
{
    if (on == m_highlighted)
        return;
    m_highlighted = on;
    QFont font = m_label1->font();
    font.setUnderline(on);
    m_label1->setFont(font);
    QPalette palette = m_label1->palette();
    palette.setColor(QPalette::WindowText,
                     on ? palette.color(QPalette::Link) : this->palette().color(QPalette::WindowText));
    m_label1->setPalette(palette);
}

bool About::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label1) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            highlightLink(true);
            break;
        case QEvent::Leave:
            highlightLink(false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                Label1_Click();
            return true;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                Label1_Click();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void About::Label1_Click()
{
    if (!m_openUrl(QUrl(m_label1->text())))
        m_messages.show(QStringLiteral(
                            "An error occurred when trying to open your browser.  Check your "
                            "availiable memory, and make sure there is an application associated "
                            "with .html files."),
                        ui::Icon::Exclamation);
}

}  // namespace brisden::help
