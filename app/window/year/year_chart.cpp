#include "app/window/year/year_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <algorithm>

#include "returns/results/number_forms.h"
#include "returns/rules/return_period.h"

namespace {

double Rupees(std::int64_t paise) { return static_cast<double>(paise) / 100; }

}  // namespace

YearChart::YearChart(QWidget* parent)
    : QChartView(parent),
      vat_(new QBarSet("VAT payable (refundable negative)")),
      cstPurchases_(new QBarSet("CST on purchases")),
      cstSales_(new QBarSet("CST on sales")),
      rupees_(new QCategoryAxis) {
    rupees_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    auto* series = new QBarSeries;
    QStringList months;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths()) {
        months.append(
            QString::fromLatin1(month.name.data(), static_cast<qsizetype>(month.name.size())));
        for (QBarSet* set : {vat_, cstPurchases_, cstSales_}) set->append(0);
    }
    series->append({vat_, cstPurchases_, cstSales_});
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* monthAxis = new QBarCategoryAxis;
    monthAxis->append(months);
    chart->addAxis(monthAxis, Qt::AlignBottom);
    chart->addAxis(rupees_, Qt::AlignLeft);
    series->attachAxis(monthAxis);
    series->attachAxis(rupees_);
    chart->legend()->setAlignment(Qt::AlignBottom);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
}

void YearChart::showMonths(const YearRows& rows) {
    double low = 0, high = 0;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        vat::YearTotals month;
        vat::AddRow(month, rows[at]);
        const int index = static_cast<int>(at);
        vat_->replace(index, Rupees(month.Sum(vat::Figure::VatPayable)));
        cstPurchases_->replace(index, Rupees(month.Sum(vat::Figure::CstPurchases)));
        cstSales_->replace(index, Rupees(month.Sum(vat::Figure::CstSales)));
        for (QBarSet* set : {vat_, cstPurchases_, cstSales_}) {
            low = std::min(low, set->at(index));
            high = std::max(high, set->at(index));
        }
    }
    // An empty year still shows an axis.
    rupees_->setRange(low, high > low ? high : low + 1);
    rupees_->applyNiceNumbers();
    // The axis's own labels are printf's ("40000.0"); each tick is named in rupees instead.
    for (const QString& label : rupees_->categoriesLabels()) rupees_->remove(label);
    const int ticks = rupees_->tickCount();
    const double step = ticks > 1 ? (rupees_->max() - rupees_->min()) / (ticks - 1) : 0;
    for (int tick = 0; tick < ticks; ++tick) {
        const double value = rupees_->min() + step * tick;
        rupees_->append(QString::fromStdString(vat::GroupedRupees(value)), value);
    }
}
