#include "testlib/tempdatabase.h"

#include "data/dbsetup.h"

#include <QCoreApplication>
#include <QUrl>

#include <stdexcept>

namespace {
int counter = 0;

QString pgBase() { return qEnvironmentVariable("BREVIA_TEST_PG"); }

QString pgUri(const QString &dbName)
{
    QUrl url(pgBase());
    url.setPath(QLatin1Char('/') + dbName);
    return url.toString();
}
} // namespace

std::vector<Engine> testEngines()
{
    std::vector<Engine> e{Engine::SQLite};
    if (!pgBase().isEmpty())
        e.push_back(Engine::PostgreSQL);
    return e;
}

std::string engineName(Engine e)
{
    return e == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

TempDatabase::TempDatabase(Engine engine, bool withSchema) : m_engine(engine)
{
    if (engine == Engine::SQLite) {
        m_location = m_dir.filePath(QStringLiteral("HKP30.hdb"));
    } else {
        m_pgName = QStringLiteral("brevia_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        m_location = pgUri(m_pgName);
    }
    if (withSchema) {
        m_db = DbSetup::create(m_location, &m_error);
    } else if (engine == Engine::SQLite) {
        m_db = Database::open(m_location, &m_error, true);
    } else {
        auto admin = Database::open(pgUri(QStringLiteral("postgres")), &m_error);
        if (admin)
            m_error = admin->exec(QStringLiteral("CREATE DATABASE %1").arg(m_pgName));
        if (m_error.isEmpty())
            m_db = Database::open(m_location, &m_error);
    }
    if (!m_db)
        throw std::runtime_error(("TempDatabase: " + m_error).toStdString());
}

TempDatabase::~TempDatabase()
{
    m_db.reset();
    if (m_engine == Engine::PostgreSQL) {
        QString err;
        auto admin = Database::open(pgUri(QStringLiteral("postgres")), &err);
        if (admin)
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
    }
}

std::unique_ptr<Database> TempDatabase::openAnother() const
{
    QString err;
    auto db = Database::open(m_location, &err);
    if (!db)
        throw std::runtime_error(("openAnother: " + err).toStdString());
    return db;
}
