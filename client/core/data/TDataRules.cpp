// TData: what the module adds to its datasets: number formats, calculated
// fields, display texts and the dataset events (opening what a dataset needs,
// the office datasets' default dates).
#include "client/core/data/TData.h"

#include "client/core/dataset/DisplayFormat.h"
#include "common/DayNumber.h"

namespace qv::client {

namespace {

double number(DataSet &ds, QStringView field)
{
    const Field *f = ds.fieldByName(field);
    return f ? f->asDouble() : 0.0;
}

using Formula = double (*)(DataSet &);

struct CalculatedField {
    QStringList dataSets;
    const char *field;
    Formula formula;
};

const QList<CalculatedField> &calculatedFields()
{
    static const QList<CalculatedField> rules = {
        {{"Cgdd", "Cgth", "Xsdd", "Xsth"}, "cJE",
         [](DataSet &d) { return number(d, u"SL") * number(d, u"DJ") * (number(d, u"NSL") / 100 + 1); }},
        {{"Cgsh", "Xskd"}, "cJE",
         [](DataSet &d) {
             return number(d, u"SL") * number(d, u"DJ") * number(d, u"NZK")
                    * (number(d, u"NSL") / 100 + 1);
         }},
        {{"Ll", "Tl", "Cpjc", "Kcpd", "Ckdb", "Qtkcbd", "Thgc", "Cgsq", "Ckzz", "Ckzzzb"}, "cJE",
         [](DataSet &d) { return number(d, u"SL") * number(d, u"DJ"); }},
        {{"Chtj"}, "cJE", [](DataSet &d) { return (number(d, u"DJ") - number(d, u"JDJ")) * number(d, u"SL"); }},
        {{"Cgfk", "Cgsqzb"}, "aWFJE", [](DataSet &d) { return number(d, u"JE") - number(d, u"YFJE"); }},
        {{"Xssk"}, "aWSJE", [](DataSet &d) { return number(d, u"JE") - number(d, u"YSJE"); }},
        {{"GZ_JJGZ", "GZ_JSGZ"}, "JE",
         [](DataSet &d) { return number(d, u"F_SL") * number(d, u"F_DJ") + number(d, u"F_JBGZ"); }},
    };
    return rules;
}

// Yes/no fields shown as words: dataset, field, "when true;when false".
struct BoolText {
    const char *dataSet;
    const char *field;
    const char *texts;
};
const BoolText kBoolTexts[] = {
    {"Zh", "YHL", "银行存款类;现金类"},
    {"Srzclb", "SRL", "收入类;支出类"},
    {"SrzclbHelp", "SRL", "收入类;支出类"},
    {"Qtkcbdlx", "RKL", "入库类;出库类"},
    {"Qtkcbdlx", "THBZ", "需要;不需要"},
};

// Codes shown as words: dataset, field, the words for 1, 2, ...
struct CodeText {
    const char *dataSet;
    const char *field;
    QStringList words;
};
const QList<CodeText> &codeTexts()
{
    static const QStringList natures = {QStringLiteral("库存商品"), QStringLiteral("服务/劳务"),
                                        QStringLiteral("其它收入"), QStringLiteral("其它支出"),
                                        QStringLiteral("折扣")};
    static const QList<CodeText> rules = {
        {"Yg", "JSFF", {QStringLiteral("月薪"), QStringLiteral("计件")}},
        {"Hphsff", "LB", natures},
        {"HpHelp", "HPSXID", natures},
    };
    return rules;
}

bool named(const DataSet &ds, const char *name)
{
    return ds.name().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

void showCodes(Field &field, const QStringList &words)
{
    field.setGetTextHook([words](const Field &f, QString &text, bool displayText) {
        if (!displayText)
            return;
        const QVariant v = f.value();
        if (!v.isValid()) {
            text.clear();
            return;
        }
        const qint64 code = qRound64(numericValue(v));
        text = code >= 1 && code <= words.size() ? words[code - 1] : QString();
    });
}

void showTruth(Field &field, const QString &texts)
{
    if (field.type() == FieldType::YesNo) {
        field.setBoolTexts(texts);
        return;
    }
    const QStringList pair = texts.split(u';');
    field.setGetTextHook([pair](const Field &f, QString &text, bool displayText) {
        if (displayText && f.value().isValid())
            text = numericValue(f.value()) != 0 || f.asBool() ? pair[0] : pair[1];
    });
}

// The audit counter of a document header: 0 draft, 1 audited, nothing else.
void showAudit(Field &field)
{
    field.setGetTextHook([](const Field &f, QString &text, bool displayText) {
        if (!displayText)
            return;
        const QVariant v = f.value();
        const double n = v.isValid() ? numericValue(v) : -1;
        text = n == 0 ? QStringLiteral("草稿") : n == 1 ? QStringLiteral("审核") : QString();
    });
}

// A tax rate in percent.
void showPercent(Field &field)
{
    field.setGetTextHook([](const Field &, QString &text, bool displayText) {
        if (displayText && !text.isEmpty())
            text += u'%';
    });
}

// A menu caption indented by its level, four spaces a level, cut to 50.
void showMenuCaption(Field &field)
{
    field.setGetTextHook([](const Field &f, QString &text, bool displayText) {
        if (!displayText)
            return;
        const Field *level = f.dataSet()->fieldByName(u"mLevel");
        const qint64 n = level ? std::max<qint64>(0, level->asInteger()) : 0;
        text = (QString(int(std::min<qint64>(n, 50)) * 4, u' ') + text).left(50);
    });
}

} // namespace

void TData::applyFieldRules(DataSet &ds)
{
    if (!ds.isActive())
        return;
    for (Field *f : ds.fields()) {
        if (f->type() == FieldType::Double && f->displayFormat().isEmpty())
            f->setDisplayFormat(kNumberFormat.toString());
    }
    // Display texts belong to the shared datasets only, not to the pool or to
    // a caller's own datasets.
    const auto area = m_areas.constFind(&ds);
    if (area == m_areas.constEnd())
        return;
    Field *audit = ds.fieldByName(u"uFlag");
    if (audit && *area == DataSetArea::Header && !audit->hasGetTextHook())
        showAudit(*audit);
    Field *rate = *area == DataSetArea::Lines ? ds.fieldByName(u"NSL") : nullptr;
    if (rate && !rate->hasGetTextHook())
        showPercent(*rate);
    for (const BoolText &rule : kBoolTexts) {
        Field *f = named(ds, rule.dataSet) ? ds.fieldByName(QString::fromLatin1(rule.field)) : nullptr;
        if (f && !f->hasGetTextHook() && f->boolTexts().isEmpty())
            showTruth(*f, QString::fromUtf8(rule.texts));
    }
    for (const CodeText &rule : codeTexts()) {
        Field *f = named(ds, rule.dataSet) ? ds.fieldByName(QString::fromLatin1(rule.field)) : nullptr;
        if (f && !f->hasGetTextHook())
            showCodes(*f, rule.words);
    }
    if (named(ds, "AppMenu")) {
        Field *caption = ds.fieldByName(u"mCaption");
        if (caption && !caption->hasGetTextHook())
            showMenuCaption(*caption);
    }
}

void TData::installCalculatedFields()
{
    for (const CalculatedField &rule : calculatedFields()) {
        const QString fieldName = QLatin1String(rule.field);
        for (const QString &name : rule.dataSets) {
            DataSet *ds = dataSet(name);
            if (!ds || !ds->addCalculatedField(fieldName, FieldType::Double))
                continue;
            const Formula formula = rule.formula;
            ds->hooks().calcFields = [fieldName, formula](DataSet &d) {
                if (Field *f = d.fieldByName(fieldName))
                    f->setValue(formula(d));
            };
        }
    }
}

bool TData::openIfClosed(DataSet &owner, DataSet *dependency)
{
    if (!dependency || dependency->isActive() || dependency->open())
        return true;
    owner.setAbortMessage(dependency->lastError().message);
    return false;
}

void TData::installEvents()
{
    auto opens = [this](const char *name, QList<const char *> needed) {
        DataSet *ds = dataSet(QString::fromLatin1(name));
        if (!ds)
            return;
        ds->hooks().beforeOpen = [this, needed](DataSet &owner) {
            for (const char *n : needed) {
                if (!openIfClosed(owner, dataSet(QString::fromLatin1(n))))
                    return false;
            }
            return true;
        };
    };
    opens("Qtkcbdzb", {"Ck", "Qtkcbdlx"});
    opens("Fykzzb", {"Sfkfs"});
    opens("Qtsrzb", {"Sfkfs"});
    opens("GZ_JJGZ", {"Gz_GXu"});
    opens("GZ_JSGZ", {"Gz_GongZ"});

    // The accounts list of the transfers and payment methods shows every
    // account as the cash kind.
    for (const char *name : {"Yhckqk", "Sfkfs"}) {
        DataSet *ds = dataSet(QString::fromLatin1(name));
        ds->hooks().beforeOpen = [this](DataSet &owner) {
            DataSet *accounts = zh();
            accounts->setCommandText(QStringLiteral("select  *, '现金类'  as aYHL  from ZH order by MC"));
            return openIfClosed(owner, accounts);
        };
    }

    for (const char *name : {"Oa_Leave", "Oa_OverTime", "Oa_House", "Oa_Linkman", "Oa_Keys",
                             "Oa_Pass", "Oa_Visit"}) {
        DataSet *ds = dataSet(QString::fromLatin1(name));
        ds->hooks().newRecord = [this](DataSet &d) { fillOfficeDefaults(d); };
    }
}

void TData::fillOfficeDefaults(DataSet &ds)
{
    const auto today = serverDate();
    if (!today)
        return; // the fields stay empty; the user fills them
    const QDate date = common::parseDateText(today.value).date();
    if (!date.isValid())
        return;
    auto set = [&ds, date](QStringView field, QTime time = QTime(0, 0)) {
        if (Field *f = ds.fieldByName(field))
            f->setValue(QDateTime(date, time));
    };
    set(u"F_BillDate");
    if (named(ds, "Oa_Leave")) {
        set(u"F_StartDate", QTime(9, 0));
        set(u"F_EndDate", QTime(17, 30));
    } else if (named(ds, "Oa_OverTime")) {
        set(u"F_StartDate");
        set(u"F_EndDate");
    } else if (named(ds, "Oa_Keys")) {
        set(u"F_BorrowDate");
        set(u"F_ReturnDate");
    } else if (named(ds, "Oa_Pass")) {
        set(u"F_PassDate");
    } else if (named(ds, "Oa_Visit")) {
        set(u"F_VisitDate");
    }
}

} // namespace qv::client
