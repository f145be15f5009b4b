#include "analysis/RateFlows.h"

#include "data/Dates.h"
#include "data/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisden {

QString RateFlowKindText(RateFlowKind kind)
{
    switch (kind) {
        case RateFlowKind::Transaction:
            return QStringLiteral("record");
        case RateFlowKind::OpeningValue:
            return QStringLiteral("opening value");
        case RateFlowKind::OpeningValueAndTransaction:
            return QStringLiteral("opening value + record");
        case RateFlowKind::TerminalValue:
            return QStringLiteral("terminal value");
    }
    return QString();
}

std::vector<RateFlow> ListRateFlows(const CashFlowTable& cashFlows, const RateFlowTrail& trail)
{
    std::vector<RateFlow> flows;
    if (!trail.Computed)
        return flows;
    auto fileOf = trail.Files.begin();
    auto opening = trail.OpeningSlots.begin();
    for (std::size_t i = 1; i < cashFlows.size(); ++i) {
        const CashFlow& slot = cashFlows[i];
        if (slot.Amount == 0)
            continue;
        const auto index = std::int32_t(i);
        while (fileOf != trail.Files.end() && fileOf->TerminalSlot < index)
            ++fileOf;
        while (opening != trail.OpeningSlots.end() && opening->first < index)
            ++opening;
        RateFlow flow;
        flow.DayNumber = slot.DayNumber;
        flow.Date = DayNumberToDate(slot.DayNumber);
        flow.Amount = slot.Amount;
        flow.Years = slot.Years;
        if (fileOf != trail.Files.end() && fileOf->FirstSlot <= index) {
            flow.File = fileOf->File;
            flow.Description = fileOf->Description;
            if (index == fileOf->TerminalSlot)
                flow.Kind = RateFlowKind::TerminalValue;
        }
        if (opening != trail.OpeningSlots.end() && opening->first == index)
            flow.Kind = slot.Amount == opening->second ? RateFlowKind::OpeningValue
                                                       : RateFlowKind::OpeningValueAndTransaction;
        flows.push_back(std::move(flow));
    }
    return flows;
}

namespace {

QByteArray Quoted(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

QByteArray IsoDate(std::int32_t ymd)
{
    char text[16];
    const int year = ymd / 10000, month = ymd / 100 % 100, day = ymd % 100;
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return QByteArray(text, n);
}

}  // namespace

QByteArray RateFlowsCsv(const std::vector<RateFlow>& flows)
{
    QByteArray csv("Date,Amount,Years,Kind,File,Description\r\n");
    for (const RateFlow& flow : flows) {
        csv += IsoDate(flow.Date) + ',' + PlainNumber(flow.Amount) + ',' + PlainSingle(flow.Years) +
               ',' + Quoted(RateFlowKindText(flow.Kind)) + ',' + Quoted(flow.File) + ',' +
               Quoted(flow.Description) + "\r\n";
    }
    return csv;
}

double RateFlowsFutureValue(const std::vector<RateFlow>& flows, double rate)
{
    double sum = 0;
    for (const RateFlow& flow : flows)
        sum += flow.Amount * std::pow(1.0 + rate, double(flow.Years));
    return sum;
}

}  // namespace brisden
