#include "chart/widgets/ChartSelectDialog.h"

#include "chart/ChartTypes.h"
#include "report/ReportState.h"
#include "ui/Help.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brisden::chart {

namespace {

QRadioButton* Option(QWidget* parent, QLayout* layout, const QString& name, const QString& caption)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    layout->addWidget(button);
    return button;
}

QGroupBox* Frame(const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    return box;
}

// Enabling a set of option buttons leaves one of them selected.
void EnableOptions(std::initializer_list<QRadioButton*> buttons, bool enabled)
{
    bool any = false;
    for (QRadioButton* b : buttons) {
        b->setEnabled(enabled);
        any = any || b->isChecked();
    }
    if (enabled && !any)
        (*buttons.begin())->setChecked(true);
}

void Fill(QComboBox* box, const std::vector<ListEntry>& entries)
{
    box->clear();
    for (const ListEntry& e : entries)
        box->addItem(e.text, e.code);
}

QString DateText(std::int32_t mdy)
{
    return QStringLiteral("%1").arg(mdy, 8, 10, QLatin1Char('0'));
}

}  // namespace

ChartSelectDialog::ChartSelectDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChartSelect"));
    setWindowTitle(QStringLiteral("Chart options"));
    setModal(true);

    // Date range.
    auto* dates = Frame(QStringLiteral("Date range:"), this);
    auto* dateForm = new QFormLayout(dates);
    auto dateBox = [&](const char* name, const QString& label) {
        auto* edit = new QLineEdit(dates);
        edit->setObjectName(QLatin1String(name));
        edit->setInputMask(QStringLiteral("99/99/9999;_"));
        edit->installEventFilter(this);
        dateForm->addRow(label, edit);
        return edit;
    };
    BeginDate = dateBox("BeginDate", QStringLiteral("Begin Date (MMDDYYYY):"));
    EndDate = dateBox("EndDate", QStringLiteral("End Date (MMDDYYYY):"));

    // The time-series frame.
    Frame7 = Frame(QStringLiteral("2D X-Y Scatter charts:"), this);
    Frame7->setObjectName(QStringLiteral("Frame7"));
    auto* frame7 = new QVBoxLayout(Frame7);
    chkFrame7 = new QCheckBox(QStringLiteral("Select"), Frame7);
    chkFrame7->setObjectName(QStringLiteral("chkFrame7"));
    frame7->addWidget(chkFrame7);
    auto* element = Frame(QStringLiteral("Element to chart:"), Frame7);
    auto* elementLayout = new QVBoxLayout(element);
    optElement[0] = Option(element, elementLayout, QStringLiteral("optElement0"), QStringLiteral("Share Price"));
    optElement[1] = Option(element, elementLayout, QStringLiteral("optElement1"), QStringLiteral("Share Balance"));
    optElement[2] = Option(element, elementLayout, QStringLiteral("optElement2"), QStringLiteral("Value"));
    frame7->addWidget(element);
    auto* yAxis = Frame(QStringLiteral("Y-Axis:"), Frame7);
    auto* yAxisLayout = new QVBoxLayout(yAxis);
    optYaxis[0] = Option(yAxis, yAxisLayout, QStringLiteral("optYaxis0"), QStringLiteral("Absolute values"));
    optYaxis[1] = Option(yAxis, yAxisLayout, QStringLiteral("optYaxis1"), QStringLiteral("Percent change"));
    frame7->addWidget(yAxis);
    auto* density = Frame(QStringLiteral("Density:"), Frame7);
    auto* densityLayout = new QVBoxLayout(density);
    optDensity[0] = Option(density, densityLayout, QStringLiteral("optDensity0"), QStringLiteral("All values"));
    optDensity[1] = Option(density, densityLayout, QStringLiteral("optDensity1"), QStringLiteral("Changes only"));
    frame7->addWidget(density);
    frame7->addStretch();

    // The yearly frame.
    Frame8 = Frame(QStringLiteral("Charts categorized by year:"), this);
    Frame8->setObjectName(QStringLiteral("Frame8"));
    auto* frame8 = new QVBoxLayout(Frame8);
    chkFrame8 = new QCheckBox(QStringLiteral("Select"), Frame8);
    chkFrame8->setObjectName(QStringLiteral("chkFrame8"));
    frame8->addWidget(chkFrame8);
    auto* annual = new QWidget(Frame8);
    auto* annualLayout = new QVBoxLayout(annual);
    annualLayout->setContentsMargins(0, 0, 0, 0);
    optAnn[0] = Option(annual, annualLayout, QStringLiteral("optAnn0"), QStringLiteral("Distributions"));
    optAnn[1] = Option(annual, annualLayout, QStringLiteral("optAnn1"), QStringLiteral("# Shares bought"));
    optAnn[2] = Option(annual, annualLayout, QStringLiteral("optAnn2"), QStringLiteral("Investment costs"));
    frame8->addWidget(annual);
    chkStack = new QCheckBox(QStringLiteral("Stack data"), Frame8);
    chkStack->setObjectName(QStringLiteral("chkStack"));
    frame8->addWidget(chkStack);
    Combo1 = new QComboBox(Frame8);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int type : CategoryChartTypes)
        Combo1->addItem(ChartTypeName(type), type);
    frame8->addWidget(Combo1);
    Label3 = new QLabel(QStringLiteral("2DLine Statistic:"), Frame8);
    Label3->setObjectName(QStringLiteral("Label3"));
    frame8->addWidget(Label3);
    Combo2 = new QComboBox(Frame8);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Fill(Combo2, StatisticEntries());
    frame8->addWidget(Combo2);
    frame8->addStretch();

    for (QGroupBox* frame : {Frame7, Frame8})
        frame->installEventFilter(this);

    // The look.
    auto* look = new QWidget(this);
    auto* lookForm = new QFormLayout(look);
    lookForm->setContentsMargins(0, 0, 0, 0);
    auto combo = [&](const char* name, const char* labelName, const QString& label) {
        auto* box = new QComboBox(look);
        box->setObjectName(QLatin1String(name));
        auto* caption = new QLabel(label, look);
        caption->setObjectName(QLatin1String(labelName));
        caption->setBuddy(box);
        lookForm->addRow(caption, box);
        return box;
    };
    Combo3 = combo("Combo3", "Label4", QStringLiteral("Y-scale:"));
    Combo4 = combo("Combo4", "Label5", QStringLiteral("Show datapoints:"));
    Combo5 = combo("Combo5", "Label6", QStringLiteral("Pie Weighting:"));
    Fill(Combo5, PieWeightingEntries());
    auto* pen = Frame(QStringLiteral("Plot pen/brush"), this);
    auto* penLayout = new QHBoxLayout(pen);
    optPen[0] = Option(pen, penLayout, QStringLiteral("optPen0"), QStringLiteral("Color"));
    optPen[1] = Option(pen, penLayout, QStringLiteral("optPen1"), QStringLiteral("B/W patterns"));
    chkMarkers = new QCheckBox(QStringLiteral("Show data markers"), this);
    chkMarkers->setObjectName(QStringLiteral("chkMarkers"));

    Command1[0] = new QPushButton(QStringLiteral("&OK"), this);
    Command1[0]->setObjectName(QStringLiteral("Command1_0"));
    Command1[0]->setDefault(true);
    Command1[1] = new QPushButton(QStringLiteral("&Cancel"), this);
    Command1[1]->setObjectName(QStringLiteral("Command1_1"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(dates, 0, 0, 1, 2);
    grid->addWidget(Frame7, 1, 0);
    grid->addWidget(Frame8, 1, 1);
    grid->addWidget(look, 2, 0, 1, 2);
    auto* lower = new QHBoxLayout;
    lower->addWidget(pen);
    lower->addWidget(chkMarkers);
    lower->addStretch();
    grid->addLayout(lower, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1[0]);
    buttons->addWidget(Command1[1]);
    buttons->addWidget(cmdHelp);
    grid->addLayout(buttons, 4, 0, 1, 2);

    // Defaults of the first load.
    optElement[0]->setChecked(true);
    optYaxis[0]->setChecked(true);
    optDensity[0]->setChecked(true);
    optAnn[0]->setChecked(true);
    optPen[0]->setChecked(true);
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
    Combo5->setCurrentIndex(1);  // "By area"
    refillLists(false);

    connect(chkFrame7, &QCheckBox::clicked, this, [this](bool on) { selectClicked(chkFrame7, on); });
    connect(chkFrame8, &QCheckBox::clicked, this, [this](bool on) { selectClicked(chkFrame8, on); });
    connect(Command1[0], &QPushButton::clicked, this, &ChartSelectDialog::accept);
    connect(Command1[1], &QPushButton::clicked, this, &ChartSelectDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->ShowHelpTopic(ui::HelpChartOptions);
    });
}

void ChartSelectDialog::selectClicked(QCheckBox* box, bool on)
{
    if (m_guard)
        return;
    const bool yearly = box == chkFrame8 ? on : !on;
    setMode(yearly);
}

void ChartSelectDialog::setMode(bool yearly)
{
    m_guard = true;
    chkFrame7->setChecked(!yearly);
    chkFrame8->setChecked(yearly);
    EnableOptions({optElement[0], optElement[1], optElement[2]}, !yearly);
    EnableOptions({optYaxis[0], optYaxis[1]}, !yearly);
    EnableOptions({optDensity[0], optDensity[1]}, !yearly);
    EnableOptions({optAnn[0], optAnn[1], optAnn[2]}, yearly);
    Combo1->setEnabled(yearly);
    Combo2->setEnabled(yearly);
    Label3->setEnabled(yearly);
    chkStack->setEnabled(yearly);
    refillLists(yearly);
    m_guard = false;
}

void ChartSelectDialog::refillLists(bool yearly)
{
    Fill(Combo3, YScaleEntries(yearly));
    Combo3->setCurrentIndex(0);  // "Linear"
    const int labels = Combo4->currentData().isValid() ? Combo4->currentData().toInt() : LabelsNone;
    Fill(Combo4, DataPointEntries(yearly));
    const int keep = Combo4->findData(labels);
    Combo4->setCurrentIndex(keep >= 0 ? keep : 0);
}

bool ChartSelectDialog::yearlyMode() const
{
    return chkFrame8->isChecked();
}

ChartOptions ChartSelectDialog::options() const
{
    ChartOptions o;
    o.YearlyMode = yearlyMode();
    for (int i = 0; i < 3; ++i) {
        if (optElement[i]->isChecked())
            o.Element = i;
        if (optAnn[i]->isChecked())
            o.Annual = i;
    }
    o.PercentChange = optYaxis[1]->isChecked();
    o.ChangesOnly = optDensity[1]->isChecked();
    o.Stack = chkStack->isChecked();
    o.ChartType = Combo1->currentData().toInt();
    o.Statistic = Combo2->currentData().toInt();
    o.StatisticName = Combo2->currentText();
    o.Scale = Combo3->currentData().toInt();
    o.DataPoints = Combo4->currentData().toInt();
    o.Weighting = Combo5->currentData().toInt();
    o.ColorPen = optPen[0]->isChecked();
    o.ShowMarkers = chkMarkers->isChecked();
    return o;
}

std::int32_t ChartSelectDialog::DateBoxValue(const QString& text)
{
    QString digits;
    for (QChar c : text)
        if (c.isDigit())
            digits += c;
    return digits.isEmpty() ? 0 : digits.left(9).toInt();
}

bool ChartSelectDialog::run(ReportState& report, ChartOptions& options)
{
    if (!m_loaded) {
        m_loaded = true;
        BeginDate->setText(DateText(report.ListFromDate));
        EndDate->setText(DateText(report.ListToDate));
    }
    Tag = QStringLiteral("1");
    exec();
    if (Tag != QLatin1String("0"))
        return false;
    report.ListFromDate = DateBoxValue(BeginDate->text());
    report.ListToDate = DateBoxValue(EndDate->text());
    options = this->options();
    return true;
}

void ChartSelectDialog::showEvent(QShowEvent* event)
{
    if (!chkFrame7->isChecked() && !chkFrame8->isChecked())
        setMode(false);
    QDialog::showEvent(event);
}

void ChartSelectDialog::accept()
{
    Tag = QStringLiteral("0");
    QDialog::accept();
}

void ChartSelectDialog::reject()
{
    Tag = QStringLiteral("1");
    QDialog::reject();
}

void ChartSelectDialog::closeEvent(QCloseEvent* event)
{
    Tag = QStringLiteral("1");
    QDialog::closeEvent(event);
}

bool ChartSelectDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Clicking a frame selects its kind of chart.
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Frame7 && !chkFrame7->isChecked())
            setMode(false);
        else if (watched == Frame8 && !chkFrame8->isChecked())
            setMode(true);
    }
    // Entering a date box selects its whole text.
    if (event->type() == QEvent::FocusIn && (watched == BeginDate || watched == EndDate)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace brisden::chart
