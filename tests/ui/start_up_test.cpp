// varn-gui's start-up: what each command line asks for, the icon built into
// the program, and a file given at start-up loaded on the Bar page.

#include <QComboBox>
#include <QCommandLineParser>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ui/StartUp.h"
#include "ui/T_progr.h"
#include "ui/UVarnFormat.h"
#include "ui_support.h"

using namespace varn;

Q_DECLARE_METATYPE(varn::StartUpRequest::Action)

namespace {

using varn::testing::WriteAll;

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { CreateProgressWindow(); }
    void cleanupTestCase() { DestroyProgressWindow(); }

    void ReadsWhatTheCommandLineAsks_data() {
        using Action = StartUpRequest::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("picture");
        QTest::newRow("nothing") << QStringList{} << Action::Window << "" << 0 << "";
        QTest::newRow("a file") << QStringList{"prices.txt"} << Action::Window << "prices.txt" << 0
                                << "";
        QTest::newRow("a file named like an option after --")
            << QStringList{"--", "--odd.txt"} << Action::Window << "--odd.txt" << 0 << "";
        QTest::newRow("a file with blanks")
            << QStringList{"my prices.csv"} << Action::Window << "my prices.csv" << 0 << "";
        QTest::newRow("two files")
            << QStringList{"a.txt", "b.txt"} << Action::Error << "" << 0 << "";
        QTest::newRow("--help") << QStringList{"--help"} << Action::Help << "" << 0 << "";
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << "" << 0 << "";
        QTest::newRow("--help-all") << QStringList{"--help-all"} << Action::Help << "" << 0 << "";
        QTest::newRow("help wins over a file")
            << QStringList{"prices.txt", "--help"} << Action::Help << "" << 0 << "";
        QTest::newRow("--version") << QStringList{"--version"} << Action::Version << "" << 0 << "";
        QTest::newRow("-V") << QStringList{"-V"} << Action::Version << "" << 0 << "";
        QTest::newRow("-v is varn's verbose, not a version")
            << QStringList{"-v"} << Action::Error << "" << 0 << "";
        QTest::newRow("unknown option")
            << QStringList{"--colour"} << Action::Error << "" << 0 << "";
        QTest::newRow("screenshot with input")
            << QStringList{"--screenshot-page", "2", "out.png", "in.txt"} << Action::Screenshot
            << "in.txt" << 2 << "out.png";
        QTest::newRow("screenshot of the progress window")
            << QStringList{"--screenshot-page", "3", "p.png"} << Action::Screenshot << "" << 3
            << "p.png";
        QTest::newRow("screenshot without picture")
            << QStringList{"--screenshot-page", "1"} << Action::Error << "" << 0 << "";
        QTest::newRow("screenshot of the bar job's report")
            << QStringList{"--screenshot-page", "5", "r.png", "in.txt"} << Action::Screenshot
            << "in.txt" << 5 << "r.png";
        QTest::newRow("screenshot of no such page")
            << QStringList{"--screenshot-page", "6", "p.png"} << Action::Error << "" << 0 << "";
        QTest::newRow("screenshot page not a number")
            << QStringList{"--screenshot-page", "x", "p.png"} << Action::Error << "" << 0 << "";
        QTest::newRow("screenshot with too much")
            << QStringList{"--screenshot-page", "0", "p.png", "a", "b"} << Action::Error << "" << 0
            << "";
    }
    void ReadsWhatTheCommandLineAsks() {
        QFETCH(QStringList, arguments);
        QFETCH(StartUpRequest::Action, action);
        QFETCH(QString, file);
        QFETCH(int, page);
        QFETCH(QString, picture);
        arguments.prepend(QStringLiteral("varn-gui"));
        QCommandLineParser parser;
        const StartUpRequest request = ReadStartUpArguments(parser, arguments);
        QCOMPARE(request.action, action);
        QCOMPARE(request.file, file);
        QCOMPARE(request.screenshot_page, page);
        QCOMPARE(request.picture, picture);
        QCOMPARE(request.error.isEmpty(), action != StartUpRequest::Action::Error);
    }

    void HelpShowsFileButNotTheHiddenOption() {
        QCommandLineParser parser;
        ReadStartUpArguments(parser, {QStringLiteral("varn-gui"), QStringLiteral("--help")});
        const QString help = parser.helpText();
        QVERIFY(help.contains(QStringLiteral("[FILE]")));
        QVERIFY(help.contains(QStringLiteral("--version")));
        QVERIFY(!help.contains(QStringLiteral("screenshot")));
    }

    void IconIsBuiltInAtBothSizes() {
        const QIcon icon = VarnIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {48, 256}) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // The corners are transparent, the middle is drawn.
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
        }
    }

    void IdentityCarriesVersionAndIcon() {
        SetUpApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(VARN_VERSION));
        QCOMPARE(QGuiApplication::desktopFileName(), QLatin1String(DesktopId));
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void FileGivenAtStartUpOpensOnBarPage_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("errors");
        QByteArray daily;
        for (int i = 0; i < 120; ++i) daily += "01/02/2001 1.5 1.6 1.4 1.55\r\n";
        QTest::newRow("120 daily lines") << daily << true << true << 120 << 0;
        QTest::newRow("one line") << QByteArray("01/02/2001 1.5\r\n") << true << true << 1 << 0;
        QTest::newRow("empty file") << QByteArray() << true << true << 0 << 0;
        QTest::newRow("missing file") << QByteArray() << false << false << 0 << 1;
    }
    void FileGivenAtStartUpOpensOnBarPage() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(bool, loaded);
        QFETCH(int, lines);
        QFETCH(int, errors);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("prices.txt"));
        if (exists) WriteAll(path, content);
        AnsweredDialogs dialogs;
        TForm1 form(EnglishRegionalNames(), &dialogs);
        auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        pages->setCurrentIndex(0);
        QCOMPARE(form.LoadBarFile(path), loaded);
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(form.BarLines().Count(), static_cast<std::size_t>(lines));
        QCOMPARE(dialogs.errors.size(), errors);
        if (errors > 0) QVERIFY(dialogs.errors.front().contains(QStringLiteral("prices.txt")));
        QCOMPARE(dialogs.open_asked, 0);
        if (lines > 100) {
            QCOMPARE(form.findChild<QComboBox*>(QStringLiteral("ComboBoxD"))->currentIndex(), 5);
        }
    }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
