#include "data/widgets/DescriptionInput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brisden {

namespace {

const int MaxDescriptionCharacters = 100;

QString DesignCaption()
{
    return QStringLiteral("Input request");
}

}  // namespace

DescriptionInput::DescriptionInput(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(DesignCaption());
    setModal(true);

    m_prompt = new QLabel(this);
    m_prompt->setTextFormat(Qt::PlainText);
    m_prompt->setWordWrap(false);
    m_text = new QLineEdit(this);
    m_text->setMaxLength(MaxDescriptionCharacters);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60);
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_ok->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &DescriptionInput::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &DescriptionInput::cancelClicked);
    // Escape and the window's close box answer like "&Cancel".
    connect(this, &QDialog::rejected, this, [this] { m_answer.clear(); });
}

void DescriptionInput::prepare(const QString& caption, const QString& prompt, const QString& text)
{
    setWindowTitle(caption.isEmpty() ? DesignCaption() : caption);
    m_prompt->setText(prompt);
    m_text->setText(text);
    m_text->selectAll();
    m_text->setFocus();
    m_answer.clear();
}

void DescriptionInput::okClicked()
{
    m_answer = m_text->text().trimmed();
    accept();
}

void DescriptionInput::cancelClicked()
{
    m_answer.clear();
    reject();
}

std::optional<QString> DescriptionInputBox::ask(const QString& prompt, const QString& title,
                                                const QString& defaultText)
{
    DescriptionInput window(m_parent);
    window.prepare(title, prompt, defaultText);
    window.exec();
    return window.answer();
}

}  // namespace brisden
