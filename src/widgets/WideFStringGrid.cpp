#include "WideFStringGrid.h"

#include "DefineColForm.h"

bool TWideFStringGrid::DefineColumns()
{
    TDefineColForm& form = TDefineColForm::Instance(window());
    form.SetGrid(this);
    return form.exec() == QDialog::Accepted;
}

void TWideFStringGrid::SelectAll()
{
    SetSelection({0, 1, ColCount() - 1, RowCount() - 1});
}
