#include "FrmProfile.h"
#include "GuiTestSupport.h"
#include "ReferenceTestSupport.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const char* const kBoxes[] = {"TxtNama", "TxtIniSial", "TxtAlamat", "TxtTelp", "TxtFax"};

} // namespace

class FrmProfileTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> db;
    std::unique_ptr<FrmProfile> form;

    void open(bool profileExists) {
        db = std::make_unique<TestInstallation>();
        db->state.VarProfile = profileExists;
        if (profileExists)
            db->exec("INSERT INTO tblsetting(nama, inisial, alamat, notelp, fax, jenis_manifest, "
                     "nodaftarauto) VALUES ('PT LAMA', 'LAMA', 'JL. LAMA', '021', '022', '1', "
                     "'000042')");
        form = std::make_unique<FrmProfile>(db->state);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QWidget* box(const char* name) { return child<QWidget>(form.get(), name); }
    void fill(const QStringList& texts) {
        for (int i = 0; i < texts.size(); ++i) {
            if (auto* plain = qobject_cast<QPlainTextEdit*>(box(kBoxes[i])))
                plain->clear();
            else
                child<QLineEdit>(form.get(), kBoxes[i])->clear();
            typeInto(box(kBoxes[i]), texts[i]);
        }
    }
    QRadioButton* option(const char* name) { return child<QRadioButton>(form.get(), name); }
    void save() { QTest::mouseClick(child<QPushButton>(form.get(), "CmdSave"), Qt::LeftButton); }
    QString storedRows() {
        RowSet rs = db->state.Conn.query("SELECT * FROM tblsetting");
        QStringList rows;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList values;
            for (const char* column :
                 {"nama", "inisial", "alamat", "notelp", "fax", "jenis_manifest", "nodaftarauto"})
                values << rs.text(column);
            rows << values.join("|");
        }
        return rows.join("\n");
    }

private slots:
    void cleanup() {
        form.reset();
        db.reset();
    }

    void firstRunStartsEmptyAndSavingInsertsOneRow() {
        RecordedMessages messages;
        open(false);
        QSignalSpy saved(form.get(), &FrmProfile::profileSaved);
        QSignalSpy ended(form.get(), &FrmProfile::firstRunClosed);
        QCOMPARE(form->windowTitle(), QString("Profile Perusahaan"));
        QVERIFY(option("OpLaut")->isChecked());
        QCOMPARE(child<QLineEdit>(form.get(), "TxtNama")->text(), QString());
        fill({"pt o'neil", "on", "jl. satu", "021-1", "021-2"});
        QTest::mouseClick(option("OpUdara"), Qt::LeftButton);
        save();
        QCOMPARE(storedRows(), QString("PT O'NEIL|ON|JL. SATU|021-1|021-2|1|"));
        QCOMPARE(db->state.StrJenis, QString("1"));
        QCOMPARE(db->state.StrInisial, QString("ON"));
        QVERIFY(db->state.VarProfile);
        QCOMPARE(saved.count(), 1);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(Messages::lastText(), QString("Data berhasil disimpan"));
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
    }

    void closingEndsTheProgramOnlyOnAFirstRun_data() {
        QTest::addColumn<bool>("profileExists");
        QTest::addColumn<int>("ends");
        QTest::newRow("first run") << false << 1;
        QTest::newRow("from the menu") << true << 0;
    }
    void closingEndsTheProgramOnlyOnAFirstRun() {
        QFETCH(bool, profileExists);
        open(profileExists);
        QSignalSpy ended(form.get(), &FrmProfile::firstRunClosed);
        QTest::mouseClick(child<QPushButton>(form.get(), "CmdClose"), Qt::LeftButton);
        QTEST(int(ended.count()), "ends");
        QVERIFY(!form->isVisible());
        QCOMPARE(db->count("tblsetting"), profileExists ? 1 : 0);
    }

    void savingUpdatesEveryRowAndKeepsTheCounter() {
        RecordedMessages messages;
        open(true);
        QCOMPARE(child<QLineEdit>(form.get(), "TxtNama")->text(), QString("PT LAMA"));
        QVERIFY(option("OpUdara")->isChecked());
        db->exec("INSERT INTO tblsetting(nama, jenis_manifest) VALUES ('COPY', '1')");
        QTest::mouseClick(option("OpLaut"), Qt::LeftButton);
        fill({"pt baru", "baru", "jl. baru", "1", "2"});
        save();
        QCOMPARE(storedRows(), QString("PT BARU|BARU|JL. BARU|1|2|0|000042\n"
                                       "PT BARU|BARU|JL. BARU|1|2|0|"));
        QCOMPARE(db->state.StrJenis, QString("0"));
    }

    void aRowWithoutANameIsCompletedNotDuplicated() {
        RecordedMessages messages;
        open(false);
        db->exec("INSERT INTO tblsetting(nama, jenis_manifest, nodaftarauto) VALUES "
                 "('', '0', '000007')");
        fill({"pt", "pt", "jl", "1", "2"});
        save();
        QCOMPARE(storedRows(), QString("PT|PT|JL|1|2|0|000007"));
    }

    void theFirstEmptyFieldIsNamedAndFocused_data() {
        QTest::addColumn<int>("empty");
        QTest::addColumn<QString>("message");
        QTest::newRow("name") << 0 << "Silahkan isi Nama Perusahaan";
        QTest::newRow("initials") << 1 << "Silahkan isi Inisial Perusahaan";
        QTest::newRow("address") << 2 << "Silahkan isi Alamat Perusahaan";
        QTest::newRow("telephone") << 3 << "Silahkan isi Telp Perusahaan";
        QTest::newRow("fax") << 4 << "Silahkan isi No Fax Perusahaan";
    }
    void theFirstEmptyFieldIsNamedAndFocused() {
        QFETCH(int, empty);
        RecordedMessages messages;
        open(false);
        QSignalSpy saved(form.get(), &FrmProfile::profileSaved);
        QStringList texts = {"a", "b", "c", "d", "e"};
        texts[empty] = empty == 0 ? "   " : "";
        fill(texts);
        save();
        const auto log = messages.take();
        QCOMPARE(log.size(), 1);
        QTEST(log[0].text, "message");
        QCOMPARE(log[0].title, QString("Information"));
        QCOMPARE(QApplication::focusWidget(), box(kBoxes[empty]));
        QCOMPARE(db->count("tblsetting"), 0);
        QCOMPARE(saved.count(), 0);
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(FrmProfileTest)
#include "FrmProfileTest.moc"
