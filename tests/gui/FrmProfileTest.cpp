#include "FrmProfile.h"
#include "ManifestIni.h"
#include "ReferenceTestSupport.h"

#include <QApplication>
#include <QPlainTextEdit>
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

    // `iniKind`: the JENIS MANIFEST.INI holds, when it is given.
    void open(bool profileExists, const char* iniKind = nullptr) {
        db = std::make_unique<TestInstallation>();
        if (iniKind)
            WriteINI(db->state.iniPath(), "MANIFEST", "JENIS", iniKind);
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
    void choose(const char* option) {
        QTest::mouseClick(child<QRadioButton>(form.get(), option), Qt::LeftButton);
    }
    void click(const char* button) { clickButton(form.get(), button); }
    QStringList storedRows() {
        return db->column("SELECT nama || '|' || inisial || '|' || alamat || '|' || notelp || '|' "
                          "|| fax || '|' || jenis_manifest || '|' || coalesce(nodaftarauto, '') "
                          "FROM tblsetting");
    }

private slots:
    void init() { Messages::startRecording(); }
    void cleanup() {
        form.reset();
        db.reset();
        Messages::stopRecording();
    }

    void firstRunStartsEmptyAndSavingInsertsOneRow() {
        open(false);
        QSignalSpy saved(form.get(), &FrmProfile::profileSaved);
        QSignalSpy ended(form.get(), &FrmProfile::firstRunClosed);
        QCOMPARE(form->windowTitle(), QString("Profile Perusahaan"));
        QVERIFY(child<QRadioButton>(form.get(), "OpLaut")->isChecked());
        QCOMPARE(child<QLineEdit>(form.get(), "TxtNama")->text(), QString());
        fill({"pt o'neil", "on", "jl. satu", "021-1", "021-2"});
        choose("OpUdara");
        click("CmdSave");
        QCOMPARE(storedRows(), QStringList{"PT O'NEIL|ON|JL. SATU|021-1|021-2|1|"});
        QCOMPARE(db->state.StrJenis + db->state.StrInisial, QString("1ON"));
        QVERIFY(db->state.VarProfile);
        QVERIFY(saved.count() == 1 && ended.isEmpty());
        QCOMPARE(Messages::lastText(), QString("Data berhasil disimpan"));
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
    }

    void aFirstRunProposesTheKindOfTheInstallation() {
        const std::pair<const char*, const char*> kinds[] = {{"0", "OpLaut"}, {"1", "OpUdara"}};
        for (const auto& [iniKind, proposed] : kinds) {
            open(false, iniKind);
            QVERIFY2(child<QRadioButton>(form.get(), proposed)->isChecked(), iniKind);
        }
    }

    void closingEndsTheProgramOnlyOnAFirstRun() {
        for (const bool profileExists : {false, true}) {
            open(profileExists);
            QSignalSpy ended(form.get(), &FrmProfile::firstRunClosed);
            click("CmdClose");
            QCOMPARE(ended.count(), profileExists ? 0 : 1);
            QVERIFY(!form->isVisible());
            QCOMPARE(db->count("tblsetting"), profileExists ? 1 : 0);
        }
    }

    void savingUpdatesEveryRowAndKeepsTheCounter() {
        open(true);
        QCOMPARE(child<QLineEdit>(form.get(), "TxtNama")->text(), QString("PT LAMA"));
        QVERIFY(child<QRadioButton>(form.get(), "OpUdara")->isChecked());
        db->exec("INSERT INTO tblsetting(nama, jenis_manifest) VALUES ('COPY', '1')");
        choose("OpLaut");
        fill({"pt baru", "baru", "jl. baru", "1", "2"});
        click("CmdSave");
        QCOMPARE(storedRows(), (QStringList{"PT BARU|BARU|JL. BARU|1|2|0|000042",
                                            "PT BARU|BARU|JL. BARU|1|2|0|"}));
        QCOMPARE(db->state.StrJenis, QString("0"));
    }

    void aRowWithoutANameIsCompletedNotDuplicated() {
        open(false);
        db->exec("INSERT INTO tblsetting(nama, jenis_manifest, nodaftarauto) VALUES "
                 "('', '0', '000007')");
        fill({"pt", "pt", "jl", "1", "2"});
        click("CmdSave");
        QCOMPARE(storedRows(), QStringList{"PT|PT|JL|1|2|0|000007"});
    }

    void theFirstEmptyFieldIsNamedAndFocused() {
        const char* const messages[] = {
            "Silahkan isi Nama Perusahaan", "Silahkan isi Inisial Perusahaan",
            "Silahkan isi Alamat Perusahaan", "Silahkan isi Telp Perusahaan",
            "Silahkan isi No Fax Perusahaan"};
        for (int empty = 0; empty < 5; ++empty) {
            open(false);
            QSignalSpy saved(form.get(), &FrmProfile::profileSaved);
            QStringList texts = {"a", "b", "c", "d", "e"};
            texts[empty] = empty == 0 ? "   " : "";
            fill(texts);
            click("CmdSave");
            QCOMPARE(shownBoxes(), QStringList{QString("Information: ") + messages[empty]});
            QCOMPARE(QApplication::focusWidget(), box(kBoxes[empty]));
            QVERIFY(db->count("tblsetting") == 0 && saved.isEmpty());
            QVERIFY(form->isVisible());
        }
    }
};

QTEST_MAIN(FrmProfileTest)
#include "FrmProfileTest.moc"
