#include "FStringGrid.h"

#include "GridCsv.h"

void TFStringGrid::SaveCSVFile(const QString& fileName)
{
    WriteCSVFile(fileName, GridCsv::ListSeparator());
}
