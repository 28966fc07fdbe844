#pragma once

#include "FStringGridBase.h"

// The wide filter string grid: column-0 filter runs, hidden columns without
// filter buttons, escaped UTF-16 CSV files, the column chooser and Select All.
class TWideFStringGrid : public TFStringGridBase {
    Q_OBJECT

public:
    explicit TWideFStringGrid(QWidget* parent = nullptr) : TFStringGridBase(gvWide, parent) {}

    void AdjustWidths(bool allRows, bool stretch = false) { FitWidths(allRows, stretch); }
    void SaveCSVFile(const QString& fileName, QChar separator)
    {
        WriteCSVFile(fileName, separator);
    }
    // Shows the column chooser; true when the user confirmed it.
    virtual bool DefineColumns();
    virtual void SelectAll();
};
