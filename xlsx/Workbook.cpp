#include "Workbook.h"

#include "Worksheet.h"

namespace QXlsx {

Workbook::Workbook(bool date1904)
    : m_date1904(date1904)
{
    m_defaultFont.setFontName(QStringLiteral("Calibri"));
    m_defaultFont.setFontSize(11);
}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::copy() const
{
    auto copied = std::make_unique<Workbook>(m_date1904);
    copied->m_formats = m_formats;
    copied->m_defaultFont = m_defaultFont;
    copied->m_definedNames = m_definedNames;
    copied->m_sheets.reserve(m_sheets.size());
    for (const auto &sheet : m_sheets)
        copied->m_sheets.push_back(std::make_unique<Worksheet>(*sheet, &copied->m_formats));
    return copied;
}

bool Workbook::isDate1904() const
{
    return m_date1904;
}

QStringList Workbook::sheetNames() const
{
    QStringList names;
    names.reserve(sheetCount());
    for (const auto &sheet : m_sheets)
        names.append(sheet->sheetName());
    return names;
}

int Workbook::sheetCount() const
{
    return int(m_sheets.size());
}

Worksheet *Workbook::sheet(int index) const
{
    return index >= 0 && index < sheetCount() ? m_sheets[size_t(index)].get() : nullptr;
}

Worksheet *Workbook::sheet(const QString &name) const
{
    for (const auto &sheet : m_sheets)
        if (sheet->sheetName() == name)
            return sheet.get();
    return nullptr;
}

Worksheet *Workbook::addSheet(const QString &name)
{
    m_sheets.push_back(std::make_unique<Worksheet>(name, m_date1904, &m_formats));
    return m_sheets.back().get();
}

FormatPool &Workbook::formats()
{
    return m_formats;
}

Format Workbook::defaultFont() const
{
    return m_defaultFont;
}

void Workbook::setDefaultFont(const Format &font)
{
    m_defaultFont = font;
}

QList<DefinedName> Workbook::definedNames() const
{
    return m_definedNames;
}

void Workbook::setDefinedNames(const QList<DefinedName> &names)
{
    m_definedNames = names;
}

} // namespace QXlsx
