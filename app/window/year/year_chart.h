#pragma once

#include <QChartView>

#include "app/window/year/year_table.h"

class QBarSet;
class QCategoryAxis;

// The year's VAT payable (refundable below the axis) and CST on purchases and on sales, a group
// of bars for each month, April to March.
class YearChart : public QChartView {
    Q_OBJECT

public:
    explicit YearChart(QWidget* parent);

    void showMonths(const YearRows& rows);

private:
    QBarSet* vat_;
    QBarSet* cstPurchases_;
    QBarSet* cstSales_;
    QCategoryAxis* rupees_;  // ticks named in rupees, grouped the Indian way
};
