// Prints one entry of a zip file to standard output: the tests read back the
// workbooks they write with it. It lives in a program of its own because the
// zip library and the workbook writer export the same minizip symbols, and a
// process holding both writes workbooks through the wrong one.
#include <QCoreApplication>
#include <QFile>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: qv_zip_entry FILE ENTRY\n");
        return 2;
    }
    QuaZip zip(args.at(1));
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(args.at(2)))
        return 1;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    out.write(file.readAll());
    return 0;
}
