#include "support/server_psql.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace vat::test
