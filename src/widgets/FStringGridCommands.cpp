// The row, clipboard and CSV file commands of the filter string grids.
#include "FStringGridBase.h"

#include <algorithm>

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>
#include <QStringEncoder>

#include "GridCsv.h"
#include "GridModel.h"
#include "UserInterface.h"
#include "Utils.h"

namespace {
const QString CsvFilterEntry = QStringLiteral("Comma Separated Values(*.csv)|*.csv|");
const QString AllFilesEntry = QStringLiteral("All files (*.*)|*.*");

bool IsBlank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 32; });
}
} // namespace

void TFStringGridBase::PriorRow()
{
    if (Row() > 1)
        SetRow(Row() - 1);
}

void TFStringGridBase::NextRow()
{
    if (Row() < RowCount() - 1)
        SetRow(Row() + 1);
}

void TFStringGridBase::FirstRow()
{
    SetRow(1);
}

void TFStringGridBase::LastRow()
{
    SetRow(RowCount() - 1);
}

void TFStringGridBase::InsertRowBelow()
{
    const int row = std::max(Row(), 0);
    InsertRow(row + 1);
    SetRow(row + 1);
    m_modified = true;
}

void TFStringGridBase::CopyRows()
{
    const TGridRect selection = Selection();
    QString text;
    for (int row = selection.Top; row <= selection.Bottom; ++row)
        text += Rows(row).CommaText() + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(text);
}

void TFStringGridBase::PasteRows()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QString text = mime && mime->hasText() ? mime->text() : QString();
    while (!IsBlank(text)) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        const QString line = end < 0 ? text : text.left(end);
        if (!line.isEmpty()) {
            // Never above the header row, also when the table shows no data row.
            const int row = std::max(Row(), 1);
            InsertRow(row);
            Rows(row).SetCommaText(line);
            SetRow(row + 1);
        }
        text = end < 0 ? QString() : text.mid(end + 1);
    }
    m_modified = true;
    emit OnChanged(this);
}

void TFStringGridBase::DeleteRow()
{
    const TGridRect selection = Selection();
    SetSelection({0, Row(), ColCount() - 1, Row()});
    DeleteSelectedRows();
    SetSelection(selection);
    m_modified = true;
}

// ---- CSV files ------------------------------------------------------------------

QString TFStringGridBase::CsvFilter(bool save) const
{
    if (m_variant == gvNarrow)
        return CsvFilterEntry.chopped(1);
    QString name = m_fileName;
    if (GridCsv::FileExtension(name).isEmpty())
        name += QStringLiteral(".csv");
    const QString extension = GridCsv::FileExtension(name);
    QString filter = CsvFilterEntry + AllFilesEntry;
    if (extension != QLatin1String(".csv"))
        filter.prepend(
            (save ? QStringLiteral("*%1|*%1|") : QStringLiteral("(*%1)|*%1|")).arg(extension));
    return filter;
}

bool TFStringGridBase::AskCsvFile(bool save)
{
    if (!m_ui)
        return false;
    TFileRequest request;
    request.Preset = m_fileName;
    request.DefaultExt = QStringLiteral("csv");
    if (m_variant == gvWide) {
        if (GridCsv::FileExtension(request.Preset).isEmpty())
            request.Preset += QStringLiteral(".csv");
        request.DefaultExt = GridCsv::FileExtension(request.Preset).mid(1);
        request.Title =
            save ? QStringLiteral("Save String Grid") : QStringLiteral("Load String Grid");
    }
    request.Filter = CsvFilter(save);
    if (save)
        request.Options = TFileRequest::OverwritePrompt;
    const QString chosen = save ? m_ui->SaveFileName(request) : m_ui->OpenFileName(request);
    if (chosen.isEmpty())
        return false;
    m_fileName = chosen;
    return true;
}

void TFStringGridBase::LoadCSV(bool ask)
{
    if (m_variant == gvWide && !ask)
        LoadCSVFile(m_fileName, GridCsv::ListSeparator());
    else if (AskCsvFile(false))
        LoadCSVFile(m_fileName, GridCsv::ListSeparator());
    m_modified = false;
}

void TFStringGridBase::SaveCSV()
{
    if (AskCsvFile(true))
        WriteCSVFile(m_fileName, GridCsv::ListSeparator());
    m_modified = false;
}

void TFStringGridBase::Tell(const QString& text, bool withCancel) const
{
    if (!m_ui)
        DebugOutput(text);
    else if (withCancel)
        m_ui->Confirm(text, TMsgButton::Ok | TMsgButton::Cancel);
    else
        m_ui->ShowMessage(text);
}

void TFStringGridBase::LoadCSVFile(const QString& fileName, QChar separator)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        Tell(QStringLiteral("Cannot open input file.") + fileName, m_variant == gvNarrow);
        return;
    }
    const QByteArray bytes = file.readAll();
    SetRowCount(1);
    if (m_variant == gvNarrow)
        ReadNarrowCsv(bytes, separator);
    else
        ReadWideCsv(bytes, separator);
    StoreToMaster();
    BuildFilterButtons();
    emit OnChanged(this);
}

void TFStringGridBase::StoreCsvField(int col, int row, const QString& field)
{
    if (col + 1 > ColCount())
        SetColCount(col + 1);
    SetCells(col, row, field);
}

void TFStringGridBase::ReadNarrowCsv(const QByteArray& bytes, QChar separator)
{
    const QStringList lines = GridCsv::SplitLines(QString::fromLocal8Bit(bytes));
    for (int row = 0; row < lines.size(); ++row) {
        const QString line = GridCsv::UnescapeText(lines[row]);
        m_model->SetDimensions(std::max(row + 1, RowCount()), ColCount());
        const QStringList fields = GridCsv::SplitFields(line, separator);
        for (int col = 0; col < fields.size(); ++col)
            StoreCsvField(col, row, fields[col]);
    }
}

void TFStringGridBase::ReadWideCsv(const QByteArray& bytes, QChar separator)
{
    const QStringList lines = GridCsv::SplitLines(GridCsv::DecodeText(bytes));
    if (lines.isEmpty())
        return; // an empty file leaves the header row alone
    SetColCount(int(GridCsv::SplitFields(lines[0], separator).size()));
    SetRowCount(int(lines.size()));
    for (int row = 0; row < lines.size(); ++row) {
        const QString line = GridCsv::UnescapeText(lines[row]);
        m_model->SetDimensions(std::max(row + 1, RowCount()), ColCount());
        const QStringList fields = GridCsv::SplitFields(line, separator);
        for (int col = 0; col < fields.size(); ++col)
            StoreCsvField(col, row, GridCsv::UnquoteField(fields[col]));
    }
}

QByteArray TFStringGridBase::NarrowCsvBytes() const
{
    QString text;
    for (int row = 0; row < m_master.RowCount(); ++row)
        text += CommaText(m_master.Row(row)) + QStringLiteral("\r\n");
    return text.toLocal8Bit();
}

QByteArray TFStringGridBase::WideCsvBytes(QChar separator) const
{
    QStringList lines;
    for (int row = 0; row < m_master.RowCount(); ++row) {
        QStringList cells = m_master.Row(row);
        for (QString& cell : cells)
            cell = GridCsv::EscapeText(cell);
        lines.append(cells.join(separator));
    }
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") +
           QByteArray(encoder.encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

void TFStringGridBase::WriteCSVFile(const QString& fileName, QChar separator)
{
    // Written to a temporary file and renamed over the target, so a failure
    // leaves the former file whole.
    QSaveFile file(fileName);
    const QByteArray bytes = m_variant == gvNarrow ? NarrowCsvBytes() : WideCsvBytes(separator);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written)
        Tell(m_variant == gvNarrow ? QStringLiteral("Error writing File :") + fileName
                                   : QStringLiteral("Error writing file :\r\n\t%1").arg(fileName),
             false);
    m_modified = false;
}
