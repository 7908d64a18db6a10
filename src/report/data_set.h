// The little a report needs of a table of records: walk it forwards, step back
// one record, know where it stands, and read a field's display text. Reports
// reach their data only through this interface; MemoryDataSet is a table held
// in memory.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace report {

class DataSet {
public:
    virtual ~DataSet() = default;

    // A closed data set is ignored by the report, as if it had none.
    virtual bool isOpen() const = 0;

    // Cursor moves, with the usual table-cursor flags: first() sets bof();
    // next() on the last record stays there and sets eof(); prior() on the
    // first record stays there and sets bof().
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;

    virtual int recordCount() const = 0;

    // Display text of a field of the current record; an unknown field name is
    // an error (a report that names a field that isn't there is a design fault).
    virtual QString fieldText(const QString& field) const = 0;
};

// A data set over rows of text held in memory. Field names are matched
// without regard to case.
class MemoryDataSet : public DataSet {
public:
    MemoryDataSet() = default;
    MemoryDataSet(QStringList fields, std::vector<QStringList> rows);

    void setOpen(bool open) { open_ = open; }
    void appendRow(QStringList row);

    bool isOpen() const override { return open_; }
    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return static_cast<int>(rows_.size()); }
    QString fieldText(const QString& field) const override;

    // Index of the current record (0-based), for tests and tools.
    int recordIndex() const { return pos_; }

private:
    QStringList fields_;
    std::vector<QStringList> rows_;
    bool open_ = true;
    int pos_ = 0;
    bool eof_ = true;
    bool bof_ = true;
};

} // namespace report
