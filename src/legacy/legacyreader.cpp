#include "legacy/legacyreader.h"

#include "data/apppaths.h"
#include "legacy/legacyframe.h"

#include <QDataStream>
#include <QDir>
#include <QProcess>

namespace {

// What the frames said so far.
struct Progress {
    LegacySnapshot *snapshot = nullptr;
    QVector<qint64> limits;
    bool haveMagic = false;
    bool haveTables = false;
    int table = -1; // being read
    QString failure;
    QString garbled; // the output made no sense
    QString overrun; // more rows than the pages hold
    bool done = false;

    bool finished() const { return done || !failure.isEmpty() || !garbled.isEmpty() || !overrun.isEmpty(); }
};

// Takes every whole frame that has arrived; a frame cut short waits for
// the rest.
void takeFrames(QDataStream &in, Progress &p)
{
    while (!p.finished()) {
        in.startTransaction();
        if (!p.haveMagic) {
            quint32 magic = 0;
            in >> magic;
            if (!in.commitTransaction())
                return;
            if (magic != LegacyFrame::kMagic)
                p.garbled = QStringLiteral("输出的开头不对");
            p.haveMagic = true;
            continue;
        }
        quint8 kind = 0;
        in >> kind;
        switch (kind) {
        case LegacyFrame::Alive:
            if (!in.commitTransaction())
                return;
            break;
        case LegacyFrame::Tables: {
            qint32 n = 0;
            in >> n;
            QVector<LegacyTable> tables;
            QVector<qint64> limits;
            for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
                LegacyTable t;
                qint64 limit = 0;
                qint32 columns = 0;
                in >> t.name >> t.rowCount >> limit >> columns;
                for (qint32 c = 0; c < columns && in.status() == QDataStream::Ok; ++c) {
                    LegacyColumn col;
                    qint32 type = 0;
                    in >> col.name >> type;
                    col.type = type >= 0 && type <= qint32(LegacyType::Unsupported) ? LegacyType(type)
                                                                                    : LegacyType::Unsupported;
                    t.columns << col;
                }
                tables << t;
                limits << limit;
            }
            if (!in.commitTransaction())
                return;
            if (p.haveTables) {
                p.garbled = QStringLiteral("表的清单出现了两次");
                return;
            }
            for (const LegacyTable &t : tables)
                p.snapshot->addTable(t);
            p.limits = limits;
            p.haveTables = true;
            break;
        }
        case LegacyFrame::Begin: {
            QString name;
            in >> name;
            if (!in.commitTransaction())
                return;
            p.table = -1;
            const QVector<LegacyTable> tables = p.snapshot->tables();
            for (int i = 0; i < tables.size(); ++i)
                if (tables[i].name == name)
                    p.table = i;
            if (p.table < 0)
                p.garbled = QStringLiteral("读出了清单之外的表 %1").arg(name);
            break;
        }
        case LegacyFrame::Row: {
            QVariantList values;
            qint32 n = 0;
            in >> values >> n;
            QVector<LegacyReadProblem> problems;
            for (qint32 i = 0; i < n && in.status() == QDataStream::Ok; ++i) {
                LegacyReadProblem problem;
                qint32 column = 0;
                in >> column >> problem.why;
                problem.column = column;
                problems << problem;
            }
            if (!in.commitTransaction())
                return;
            if (p.table < 0) {
                p.garbled = QStringLiteral("行不属于任何表");
                return;
            }
            if (p.snapshot->rowsOf(p.table) >= p.limits.value(p.table)) {
                p.overrun = QStringLiteral("读出的行数超过数据页中的 %1 行").arg(p.limits.value(p.table));
                return;
            }
            p.snapshot->addRow(p.table, values, problems);
            break;
        }
        case LegacyFrame::Failed: {
            QString why;
            in >> why;
            if (!in.commitTransaction())
                return;
            p.failure = why.isEmpty() ? QStringLiteral("读取失败") : why;
            break;
        }
        case LegacyFrame::Done:
            if (!in.commitTransaction())
                return;
            if (!p.haveTables)
                p.garbled = QStringLiteral("没有表的清单");
            else
                p.done = true;
            break;
        default:
            if (!in.commitTransaction())
                return;
            p.garbled = QStringLiteral("未知的输出 %1").arg(kind);
            return;
        }
    }
}

} // namespace

LegacyReader::LegacyReader()
    : m_program(AppPaths::helperProgram(QStringLiteral("brevia-legacy-reader")))
{
}

void LegacyReader::setProgram(const QString &program, const QStringList &arguments)
{
    m_program = program;
    m_arguments = arguments;
}

std::unique_ptr<LegacySnapshot> LegacyReader::read(const QString &path, QString *error) const
{
    auto snapshot = std::make_unique<LegacySnapshot>();
    Progress p;
    p.snapshot = snapshot.get();

    QProcess process;
    process.setProgram(m_program);
    process.setArguments(m_arguments + QStringList{path});
    // The library's own chatter about the file is of no use to the user.
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(m_stallMs)) {
        *error = QStringLiteral("无法启动旧数据库的读取程序 %1：%2").arg(m_program, process.errorString());
        return nullptr;
    }
    QDataStream in(&process);
    in.setVersion(LegacyFrame::kStreamVersion);

    bool stalled = false;
    for (;;) {
        takeFrames(in, p);
        if (p.finished() || process.state() == QProcess::NotRunning)
            break;
        if (!process.waitForReadyRead(m_stallMs) && process.state() != QProcess::NotRunning) {
            stalled = true;
            break;
        }
    }
    if (!p.finished())
        takeFrames(in, p);

    // Once the answer is in, the program has nothing more to do; one that
    // does not end by itself is ended.
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(p.finished() ? 2000 : 0)) {
        process.kill();
        process.waitForFinished();
    }

    const QString subject = p.table >= 0 ? QStringLiteral("表 %1 ").arg(snapshot->tables().at(p.table).name)
                                         : QStringLiteral("表目录");
    auto damaged = [&](const QString &why) {
        return QStringLiteral("旧数据库文件已损坏：%1无法读取（%2）：%3").arg(subject, why, path);
    };
    if (p.done)
        return snapshot;
    if (!p.failure.isEmpty())
        *error = p.failure;
    else if (!p.overrun.isEmpty())
        *error = damaged(p.overrun);
    else if (stalled)
        *error = damaged(QStringLiteral("读取超过 %1 秒没有进展，已中止").arg(m_stallMs / 1000.0));
    else if (process.exitStatus() == QProcess::CrashExit)
        *error = damaged(QStringLiteral("读取程序异常终止"));
    else if (!p.garbled.isEmpty())
        *error = QStringLiteral("旧数据库的读取程序 %1 的输出不可用（%2）").arg(m_program, p.garbled);
    else
        *error = QStringLiteral("旧数据库的读取程序 %1 没有读完就结束了（退出码 %2）").arg(m_program).arg(process.exitCode());
    return nullptr;
}
