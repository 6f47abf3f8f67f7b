#include "support/server_psql.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/program_run.h"

namespace vat::test {

namespace {

std::string RunPsql(const std::vector<std::string>& connection, const std::string& database,
                    const std::string& sql) {
    std::vector<std::string> arguments = {"-X", "-q",     "-tA", "-v", "ON_ERROR_STOP=1",
                                          "-d", database, "-c",  sql};
    arguments.insert(arguments.begin(), connection.begin(), connection.end());
    const ProgramFolder scratch;
    const ProgramResult result = RunProgram("psql", arguments, scratch);
    EXPECT_EQ(result.status, 0) << sql << '\n' << Describe(result);
    return result.out;
}

// Names the lock's session among the server's processes.
constexpr const char* kLockHolder = "vat_test_table_lock";

std::string LockHolderCount(const std::string& condition) {
    return Psql("edb",
                "select count(*) from pg_locks join pg_stat_activity using (pid) where "
                "application_name = '" +
                    std::string(kLockHolder) + "'" + condition);
}

// Waits up to ten seconds for the lock holder's sessions to number count.
void AwaitLockHolders(const std::string& condition, const std::string& count) {
    for (int tries = 0; tries < 200 && LockHolderCount(condition) != count + "\n"; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(LockHolderCount(condition), count + "\n") << "lock holder " << condition;
}

}  // namespace

std::string Psql(const std::string& database, const std::string& sql) {
    return RunPsql({}, database, sql);
}

std::string AdminPsql(const std::string& database, const std::string& sql) {
    const char* socketFolder = std::getenv("VAT_PG_SOCKET_DIR");
    if (!socketFolder) {
        ADD_FAILURE() << "VAT_PG_SOCKET_DIR is not set: eval \"$(scripts/pg-cluster.sh env)\"";
        return {};
    }
    return RunPsql({"-h", socketFolder, "-U", "postgres"}, database, sql);
}

TableLock::TableLock(const std::string& database, const std::string& table) {
    // The sleep bounds the lock's life should the test die before the destructor.
    const std::string sql =
        "begin; lock table " + table + " in access exclusive mode; select pg_sleep(60);";
    const std::string command = "PGAPPNAME=" + std::string(kLockHolder) + " psql -X -q -d " +
                                ShellQuoted(database) + " -c " + ShellQuoted(sql) +
                                " >/dev/null 2>&1 &";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    AwaitLockHolders(" and mode = 'AccessExclusiveLock' and granted", "1");
}

TableLock::~TableLock() {
    Psql("edb",
         "select pg_terminate_backend(pid) from pg_stat_activity where application_name = '" +
             std::string(kLockHolder) + "'");
    AwaitLockHolders("", "0");
}

}  // namespace vat::test
