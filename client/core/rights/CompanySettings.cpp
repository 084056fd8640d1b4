#include "client/core/rights/CompanySettings.h"

#include "client/core/data/TData.h"

namespace qv::client {

namespace {

QString text(DataSet &ds, QStringView field)
{
    const Field *f = ds.fieldByName(field);
    return f ? f->asString() : QString();
}

double number(DataSet &ds, QStringView field)
{
    const Field *f = ds.fieldByName(field);
    return f ? f->asDouble() : 0.0;
}

bool truth(DataSet &ds, QStringView field)
{
    const Field *f = ds.fieldByName(field);
    return f && f->asBool();
}

// Six numbers separated by ","; anything shorter or unreadable keeps the
// defaults.
void readMargins(const QString &setup, std::array<double, 6> &margins)
{
    const QStringList parts = setup.split(u',');
    if (parts.size() <= 5)
        return;
    std::array<double, 6> read{};
    for (size_t i = 0; i < read.size(); ++i) {
        bool ok = false;
        read[i] = parts[qsizetype(i)].trimmed().toDouble(&ok);
        if (!ok)
            return;
    }
    margins = read;
}

} // namespace

DataResult<CompanySettings> CompanySettings::load(TData &data)
{
    CompanySettings settings;
    DataSet *ds = data.tmpf();
    if (!data.runSql(ds, QStringLiteral(" select * from CompanyInfo "), true))
        return DataResult<CompanySettings>::failure(data.lastError());
    if (ds->isEmpty())
        return DataResult<CompanySettings>::success(settings);
    ds->first();
    settings.companyName = text(*ds, u"fCompanyName");
    settings.telephone = text(*ds, u"fTel");
    settings.address = text(*ds, u"fAddress");
    // A level count outside 1..10 would let a draft count as fully audited.
    settings.auditLevels = std::clamp(int(number(*ds, u"fAuditNum")), 1, 10);
    readMargins(text(*ds, u"fExcelPageSetup"), settings.pageMargins);
    const double discount = QString::asprintf("%.2f", number(*ds, u"fZK")).toDouble();
    settings.discount = discount == 0 ? 1.0 : discount;
    settings.discountText = QString::asprintf("%.2f", settings.discount);
    settings.noNegativeStock = truth(*ds, u"fIsFSCK");
    settings.dataScope = truth(*ds, u"fBoolean2");
    settings.numberOnFirstSave = truth(*ds, u"fBoolean3");
    for (int n = 1; n <= 5; ++n) {
        const QString caption = text(*ds, QStringLiteral("HP_SX%1").arg(n)).trimmed();
        if (caption.isEmpty())
            continue;
        const QString name = QStringLiteral("SX%1").arg(n);
        settings.itemAttributes.append({name, caption});
        settings.itemAttributeFields += u',' + name;
    }
    ds->close();
    return DataResult<CompanySettings>::success(settings);
}

} // namespace qv::client
