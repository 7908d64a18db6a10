#include "report/data_set.h"

#include <stdexcept>

namespace report {

MemoryDataSet::MemoryDataSet(QStringList fields, std::vector<QStringList> rows)
    : fields_(std::move(fields))
{
    for (auto& row : rows)
        appendRow(std::move(row));
    first();
}

void MemoryDataSet::appendRow(QStringList row)
{
    if (row.size() != fields_.size())
        throw std::runtime_error("Record has " + std::to_string(row.size()) + " fields where "
                                 + std::to_string(fields_.size()) + " are defined");
    rows_.push_back(std::move(row));
    eof_ = false;
}

void MemoryDataSet::first()
{
    pos_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
}

void MemoryDataSet::next()
{
    bof_ = false;
    if (pos_ + 1 < recordCount())
        ++pos_;
    else
        eof_ = true;
}

void MemoryDataSet::prior()
{
    eof_ = rows_.empty();
    if (pos_ > 0)
        --pos_;
    else
        bof_ = true;
}

QString MemoryDataSet::fieldText(const QString& field) const
{
    int column = -1;
    for (int i = 0; i < fields_.size() && column < 0; ++i)
        if (fields_[i].compare(field, Qt::CaseInsensitive) == 0)
            column = i;
    if (column < 0)
        throw std::runtime_error("Field '" + field.toStdString() + "' not found");
    if (rows_.empty())
        return QString();
    return rows_[static_cast<size_t>(pos_)][column];
}

} // namespace report
