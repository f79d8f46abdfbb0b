// brevia-legacy-reader FILE: reads an old database file whole and writes
// its tables and rows to standard output in the frames of legacyframe.h.
// The import runs it as a child process and bounds it in time; this
// program bounds what libmdb may return: first a walk of the file's pages
// of our own, then at most as many rows per table as the walk counted.
#include "legacy-reader/mdbsource.h"
#include "legacy/jetfile.h"
#include "legacy/legacystreamwriter.h"

#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

int main(int argc, char **argv)
{
    // libmdb prints some of its complaints to standard output: the frames
    // get a descriptor of their own, standard output goes to standard error.
    const int frames = dup(STDOUT_FILENO);
    if (frames < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    QFile out;
    if (!out.open(frames, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        return 2;
    LegacyStreamWriter writer(&out);
    if (argc != 2) {
        writer.failed(QStringLiteral("用法：brevia-legacy-reader 旧数据库文件"));
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);

    QElapsedTimer sinceAlive;
    sinceAlive.start();
    QVector<JetTableInfo> checked;
    QString error = JetFile::check(path, &checked, [&] {
        if (sinceAlive.elapsed() > 1000) {
            writer.alive();
            sinceAlive.restart();
        }
    });
    if (!error.isEmpty()) {
        writer.failed(error);
        return 1;
    }
    auto source = MdbSource::open(path, checked, &error);
    if (!source) {
        writer.failed(error);
        return 1;
    }
    const QVector<LegacyTable> tables = source->tables();
    QVector<qint64> limits;
    for (const LegacyTable &t : tables) {
        qint64 rows = 0;
        for (const JetTableInfo &c : checked)
            if (c.name == t.name)
                rows = c.rows;
        limits << rows;
    }
    writer.tables(tables, limits);

    for (int i = 0; i < tables.size(); ++i) {
        const QString &name = tables[i].name;
        writer.begin(name);
        auto cursor = source->rows(name, &error);
        if (!cursor) {
            writer.failed(QStringLiteral("旧数据库文件已损坏：表 %1 无法读取（%2）：%3").arg(name, error, path));
            return 1;
        }
        QVariantList values;
        QVector<LegacyReadProblem> problems;
        qint64 rows = 0;
        while (cursor->next(values, problems)) {
            if (++rows > limits[i]) {
                writer.failed(QStringLiteral("旧数据库文件已损坏：表 %1 无法读取（读出的行数超过数据页中的 %2 行）：%3")
                                  .arg(name)
                                  .arg(limits[i])
                                  .arg(path));
                return 1;
            }
            writer.row(values, problems);
        }
    }
    writer.done();
    return 0;
}
