#pragma once

#include "FStringGridBase.h"

// The filter string grid of the sync list: gradient-free filter buttons laid
// over the header cells, comma text CSV files in the local encoding.
class TFStringGrid : public TFStringGridBase {
    Q_OBJECT

public:
    explicit TFStringGrid(QWidget* parent = nullptr) : TFStringGridBase(gvNarrow, parent) {}

    void AdjustWidths(bool allRows) { FitWidths(allRows, false); }
    void SaveCSVFile(const QString& fileName);
};
