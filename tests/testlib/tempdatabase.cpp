#include "testlib/tempdatabase.h"

#include "data/dbsetup.h"

#include <QCoreApplication>
#include <QSqlQuery>
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

std::unique_ptr<Database> maintenance(QString *error)
{
    return Database::open(pgUri(QStringLiteral("postgres")), error);
}

QString templateName()
{
    return QStringLiteral("brevia_tpl%1").arg(QCoreApplication::applicationPid());
}

bool leftOver(Database &admin)
{
    QSqlQuery q(admin.sql());
    return q.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(templateName())) && q.next();
}

enum class TemplateState { None, Made, Failed };
TemplateState templateState = TemplateState::None;
QString templateError;

// The schema is made by the real code once; copying a database is much
// quicker than making its tables again. Nobody stays connected to the
// template, since PostgreSQL copies only a database nobody is using.
QString ensureTemplate()
{
    if (templateState == TemplateState::None) {
        templateState = TemplateState::Failed;
        auto admin = maintenance(&templateError);
        if (admin && leftOver(*admin)) // by an earlier process of the same number
            templateError = admin->exec(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(templateName()));
        if (templateError.isEmpty() && DbSetup::create(pgUri(templateName()), &templateError))
            templateState = TemplateState::Made;
    }
    return templateState == TemplateState::Made ? QString() : QStringLiteral("template: ") + templateError;
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
    if (engine == Engine::SQLite) {
        m_db = withSchema ? DbSetup::create(m_location, &m_error) : Database::open(m_location, &m_error, true);
    } else {
        if (withSchema)
            m_error = ensureTemplate();
        auto admin = m_error.isEmpty() ? maintenance(&m_error) : nullptr;
        if (admin)
            m_error = admin->exec(withSchema ? QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_pgName, templateName())
                                             : QStringLiteral("CREATE DATABASE %1").arg(m_pgName));
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
        auto admin = maintenance(&err);
        if (admin)
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
    }
}

void TempDatabase::dropTemplate()
{
    if (templateState != TemplateState::Made)
        return;
    QString err;
    auto admin = maintenance(&err);
    if (admin)
        admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(templateName()));
    templateState = TemplateState::None;
}

std::unique_ptr<Database> TempDatabase::openAnother() const
{
    QString err;
    auto db = Database::open(m_location, &err);
    if (!db)
        throw std::runtime_error(("openAnother: " + err).toStdString());
    return db;
}
