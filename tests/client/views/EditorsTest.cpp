// Data-aware editors bound to fields: what they show, what they write, null
// against empty, read-only rules, and accept/cancel that do not re-enter.
#include "ViewsTestSupport.h"

#include "client/core/views/DbButtonEdit.h"
#include "client/core/views/DbCheckBox.h"
#include "client/core/views/DbComboBox.h"
#include "client/core/views/DbDateEdit.h"
#include "client/core/views/DbLineEdit.h"
#include "client/core/views/DbMemo.h"
#include "client/core/views/DbNumberEdit.h"
#include "client/core/views/DbPicture.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace qv::client::test {
namespace {

class EditorsTest : public LinesTest {
protected:
    void SetUp() override
    {
        // Row 5 (ID 5) has no remark and no quantity.
        QList<RowValues> rows = lineRows(5);
        rows[4][6] = QVariant();
        rows[4][4] = QVariant();
        source.setTable(QStringLiteral("pLL"), lineFields(), rows);
        ds.setSource(&source);
        ds.setProviderName(QStringLiteral("pLL"));
        ASSERT_TRUE(ds.open());
        ds.fieldByName(u"SL")->setDisplayFormat(QStringLiteral("#,0.00"));

        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        other = new QLineEdit(window.get());
        layout->addWidget(other);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename Editor>
    Editor *add(const char *field)
    {
        auto *editor = new Editor(window.get());
        window->layout()->addWidget(editor);
        editor->bind(&ds, QString::fromLatin1(field));
        editor->show();
        return editor;
    }

    void leave() { other->setFocus(); }

    std::unique_ptr<QWidget> window;
    QLineEdit *other = nullptr;
};

TEST_F(EditorsTest, NumberEditShowsTheDisplayFormatAndEditsInTheEditFormat)
{
    auto *sl = add<DbNumberEdit>("SL");
    ASSERT_TRUE(ds.fieldByName(u"SL")->setValue(1234.5));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(sl->text(), QStringLiteral("1,234.50"));
    sl->setFocus();
    EXPECT_EQ(sl->text(), QStringLiteral("1234.50"));

    sl->selectAll();
    QTest::keyClicks(sl, QStringLiteral("7a8.5x"));
    EXPECT_EQ(sl->text(), QStringLiteral("78.5")) << "letters are refused";
    EXPECT_TRUE(sl->isValueModified());
    EXPECT_EQ(ds.state(), DataSetState::Edit) << "typing starts the edit";
    leave();
    EXPECT_EQ(ds.fieldByName(u"SL")->value(), QVariant(78.5));
    EXPECT_EQ(sl->text(), QStringLiteral("78.50"));
    EXPECT_FALSE(sl->isValueModified());
}

TEST_F(EditorsTest, NullAndEmptyAreToldApart)
{
    auto *bz = add<DbLineEdit>("BZ");
    auto *sl = add<DbNumberEdit>("SL");
    ASSERT_TRUE(ds.last());
    EXPECT_TRUE(bz->valueIsNull());
    EXPECT_FALSE(bz->valueIsEmpty());
    EXPECT_TRUE(sl->valueIsNull());

    // Typed and wiped: an empty remark, which is a value.
    bz->setFocus();
    QTest::keyClicks(bz, QStringLiteral("x"));
    QTest::keyClick(bz, Qt::Key_Backspace);
    EXPECT_TRUE(bz->valueIsEmpty());
    EXPECT_FALSE(bz->valueIsNull());
    leave();
    EXPECT_FALSE(ds.fieldByName(u"BZ")->isNull());
    EXPECT_EQ(ds.fieldByName(u"BZ")->value(), QVariant(QString()));

    // A number box emptied is null: a number has no empty value.
    ASSERT_TRUE(ds.first());
    sl->setFocus();
    sl->selectAll();
    QTest::keyClick(sl, Qt::Key_Delete);
    EXPECT_TRUE(sl->valueIsNull());
    leave();
    EXPECT_TRUE(ds.fieldByName(u"SL")->isNull());
}

TEST_F(EditorsTest, ReadOnlyFollowsTheFieldTheDataSetAndTheState)
{
    auto *bz = add<DbLineEdit>("BZ");
    EXPECT_FALSE(bz->isReadOnly());
    ds.fieldByName(u"BZ")->setReadOnly(true);
    bz->cancel();
    EXPECT_TRUE(bz->isReadOnly());
    ds.fieldByName(u"BZ")->setReadOnly(false);

    bz->setAutoEdit(false);
    EXPECT_TRUE(bz->isReadOnly()) << "without auto-edit a browsing dataset is read-only";
    ASSERT_TRUE(ds.edit());
    EXPECT_FALSE(bz->isReadOnly());
    ASSERT_TRUE(ds.cancel());
    EXPECT_TRUE(bz->isReadOnly());
    bz->setAutoEdit(true);

    ds.close();
    EXPECT_TRUE(bz->isReadOnly());
    EXPECT_EQ(bz->text(), QString());
    ASSERT_TRUE(ds.open());
    EXPECT_FALSE(bz->isReadOnly());
    EXPECT_EQ(bz->text(), QStringLiteral("line 1"));

    auto *calc = add<DbLineEdit>("NOPE");
    EXPECT_TRUE(calc->isFieldReadOnly()) << "a control bound to no field never writes";
}

TEST_F(EditorsTest, AcceptAndCancelAreGuardedAgainstReentry)
{
    auto *bz = add<DbLineEdit>("BZ");
    int changes = 0;
    ds.hooks().dataChange = [&changes](DataSet &d, Field *f) {
        if (!f)
            return;
        ++changes;
        d.post(); // posting asks every control to accept: this one is accepting
    };
    bz->setFocus();
    bz->selectAll();
    QTest::keyClicks(bz, QStringLiteral("abc"));
    EXPECT_TRUE(bz->accept());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.fieldByName(u"BZ")->value(), QVariant(QStringLiteral("abc")));
    EXPECT_EQ(ds.changeCount(), 1);

    // Esc puts the field's value back.
    ds.hooks().dataChange = nullptr;
    QTest::keyClicks(bz, QStringLiteral("zz"));
    QTest::keyClick(bz, Qt::Key_Escape);
    EXPECT_EQ(bz->text(), QStringLiteral("abc"));
    EXPECT_FALSE(bz->isValueModified());

    // A value the field refuses stays in the box for correction.
    auto *sl = add<DbNumberEdit>("SL");
    QSignalSpy failed(sl->link(), &FieldLink::acceptFailed);
    sl->setFocus();
    sl->selectAll();
    QTest::keyClicks(sl, QStringLiteral("1.2.3"));
    EXPECT_FALSE(sl->accept());
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(sl->text(), QStringLiteral("1.2.3"));
    EXPECT_TRUE(sl->isValueModified());
    sl->cancel();
    EXPECT_EQ(sl->text(), QStringLiteral("1.00"));
}

TEST_F(EditorsTest, PostingWritesWhatTheControlsHold)
{
    auto *bz = add<DbLineEdit>("BZ");
    bz->setFocus();
    bz->selectAll();
    QTest::keyClicks(bz, QStringLiteral("typed"));
    ASSERT_TRUE(ds.post()) << "the window saves while the cursor is still in the box";
    EXPECT_EQ(ds.fieldByName(u"BZ")->value(), QVariant(QStringLiteral("typed")));
    EXPECT_EQ(ds.changeCount(), 1);
}

TEST_F(EditorsTest, LookupComboStoresTheKeyAndShowsTheText)
{
    auto *hp = add<DbComboBox>("HPID");
    hp->setLookupItems({{qint64(100), QStringLiteral("铅笔")},
                        {qint64(101), QStringLiteral("橡皮")},
                        {qint64(102), QStringLiteral("纸张")}});
    EXPECT_EQ(hp->currentText(), QStringLiteral("铅笔"));
    hp->setFocus();
    QTest::keyClick(hp, Qt::Key_Down);
    EXPECT_EQ(ds.fieldByName(u"HPID")->value(), QVariant(qint64(101)));
    EXPECT_EQ(hp->editorValue(), QVariant(qint64(101)));
    ASSERT_TRUE(ds.last());
    EXPECT_EQ(hp->currentIndex(), -1) << "a key not in the list shows nothing";
    EXPECT_TRUE(hp->valueIsNull());

    // A list from another dataset follows it.
    DataSet items;
    ASSERT_TRUE(items.createDataSet({{QStringLiteral("ID"), FieldType::Integer, 0, {}},
                                     {QStringLiteral("PM"), FieldType::Text, 40, {}}}));
    hp->setLookupDataSet(&items, QStringLiteral("ID"), QStringLiteral("PM"));
    EXPECT_EQ(hp->count(), 0);
    ASSERT_TRUE(items.append());
    ASSERT_TRUE(items.fieldByName(u"ID")->setValue(104));
    ASSERT_TRUE(items.fieldByName(u"PM")->setValue(QStringLiteral("订书机")));
    ASSERT_TRUE(items.post());
    EXPECT_EQ(hp->count(), 1);
    EXPECT_EQ(hp->currentText(), QStringLiteral("订书机"));
}

TEST_F(EditorsTest, PlainComboAndLookupFieldCombo)
{
    auto *bz = add<DbComboBox>("BZ");
    bz->setItems({QStringLiteral("line 1"), QStringLiteral("急用"), QStringLiteral("备用")});
    EXPECT_EQ(bz->currentIndex(), 0);
    bz->setFocus();
    QTest::keyClick(bz, Qt::Key_Down);
    EXPECT_EQ(ds.fieldByName(u"BZ")->value(), QVariant(QStringLiteral("急用")));
    ASSERT_TRUE(ds.post());

    // A lookup field: the list shows the names, the key field takes the id.
    ds.close();
    DataSet items;
    ASSERT_TRUE(items.createDataSet({{QStringLiteral("ID"), FieldType::Integer, 0, {}},
                                     {QStringLiteral("PM"), FieldType::Text, 40, {}}}));
    for (const auto &[id, name] : {std::pair{100, "pencil"}, std::pair{101, "eraser"}}) {
        ASSERT_TRUE(items.append());
        items.fieldByName(u"ID")->setValue(id);
        items.fieldByName(u"PM")->setValue(QString::fromLatin1(name));
        ASSERT_TRUE(items.post());
    }
    ASSERT_TRUE(ds.addLookupField(QStringLiteral("aPM"), FieldType::Text,
                                  LookupSpec{&items, QStringLiteral("HPID"), QStringLiteral("ID"), QStringLiteral("PM")}));
    ASSERT_TRUE(ds.open());
    auto *apm = add<DbComboBox>("aPM");
    EXPECT_EQ(apm->count(), 2);
    EXPECT_EQ(apm->currentText(), QStringLiteral("pencil"));
    apm->setFocus();
    QTest::keyClick(apm, Qt::Key_Down);
    EXPECT_EQ(ds.fieldByName(u"HPID")->value(), QVariant(qint64(101)));
}

TEST_F(EditorsTest, DateEditMayBeEmpty)
{
    auto *rq = add<DbDateEdit>("RQ");
    EXPECT_EQ(rq->date(), QDate(2024, 1, 1));
    EXPECT_FALSE(rq->valueIsNull());
    rq->setFocus();
    rq->selectAll();
    QTest::keyClick(rq, Qt::Key_Delete);
    EXPECT_TRUE(rq->valueIsNull());
    QTest::keyClick(rq, Qt::Key_Return);
    EXPECT_TRUE(ds.fieldByName(u"RQ")->isNull());

    QTest::keyClick(rq, Qt::Key_Up); // stepping from empty starts at today
    EXPECT_EQ(rq->date(), QDate::currentDate());
    QTest::keyClick(rq, Qt::Key_Return);
    EXPECT_EQ(ds.fieldByName(u"RQ")->value(), QVariant(QDateTime(QDate::currentDate(), QTime(0, 0))));
    ASSERT_TRUE(ds.post());
}

TEST_F(EditorsTest, CheckBoxShowsNullAsUnknownAndWritesRealValues)
{
    auto *zt = add<DbCheckBox>("ZT");
    EXPECT_EQ(zt->checkState(), Qt::Unchecked);
    ASSERT_TRUE(ds.fieldByName(u"ZT")->clear());
    EXPECT_EQ(zt->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(zt->valueIsNull());
    zt->click();
    EXPECT_EQ(ds.fieldByName(u"ZT")->value(), QVariant(true));
    zt->click();
    EXPECT_EQ(ds.fieldByName(u"ZT")->value(), QVariant(false));

    auto *zbid = add<DbCheckBox>("ZBID"); // a number field: 1 checked, 0 not
    EXPECT_EQ(zbid->checkState(), Qt::Checked);
    zbid->click();
    EXPECT_EQ(ds.fieldByName(u"ZBID")->value(), QVariant(qint64(0)));
}

TEST_F(EditorsTest, ButtonEditWritesWhatThePickerChose)
{
    auto *bh = add<DbButtonEdit>("aBH");
    int asked = 0;
    std::optional<QString> answer = QStringLiteral("H0099");
    bh->setPicker([&](DbButtonEdit &edit) {
        ++asked;
        EXPECT_EQ(edit.text(), QStringLiteral("H0001"));
        return answer;
    });
    bh->buttonAction()->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ds.fieldByName(u"aBH")->value(), QVariant(QStringLiteral("H0099")));
    ASSERT_TRUE(ds.cancel());

    answer.reset();
    EXPECT_FALSE(bh->pick());
    EXPECT_EQ(ds.state(), DataSetState::Browse) << "a cancelled picker changes nothing";

    ds.setReadOnly(true);
    bh->cancel();
    EXPECT_FALSE(bh->pick());
    EXPECT_EQ(asked, 2) << "no picker over a read-only field";
}

TEST_F(EditorsTest, MemoWritesWhenLeft)
{
    auto *memo = add<DbMemo>("BZ");
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("line 1"));
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" more"));
    EXPECT_TRUE(memo->isValueModified());
    leave();
    EXPECT_TRUE(ds.fieldByName(u"BZ")->asString().endsWith(QStringLiteral(" more")));
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("zz"));
    QTest::keyClick(memo, Qt::Key_Escape);
    EXPECT_FALSE(memo->toPlainText().contains(QStringLiteral("zz")));
}

TEST_F(EditorsTest, PictureShowsAndWritesImageBytes)
{
    DataSet photos;
    ASSERT_TRUE(photos.createDataSet({{QStringLiteral("ID"), FieldType::Integer, 0, {}},
                                      {QStringLiteral("PIC"), FieldType::Blob, 0, {}}}));
    ASSERT_TRUE(photos.append());
    ASSERT_TRUE(photos.fieldByName(u"ID")->setValue(1));
    ASSERT_TRUE(photos.post());
    auto *picture = new DbPicture(window.get());
    picture->resize(64, 64);
    picture->bind(&photos, QStringLiteral("PIC"));
    EXPECT_TRUE(picture->valueIsNull());

    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    ASSERT_TRUE(picture->setImage(png));
    EXPECT_TRUE(picture->hasPicture());
    EXPECT_EQ(photos.fieldByName(u"PIC")->value(), QVariant(png));
    ASSERT_TRUE(photos.post());
    ASSERT_TRUE(picture->clearImage());
    EXPECT_TRUE(photos.fieldByName(u"PIC")->isNull());
    EXPECT_FALSE(picture->hasPicture());
}

} // namespace
} // namespace qv::client::test
