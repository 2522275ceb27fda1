// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built qdl as a process, as a user would, and keeps what it said.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace qd::test {

struct QdlResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline QdlResult RunQdl(const std::string& args) {
    // ctest runs the tests in parallel processes: one stderr file each.
    static int calls = 0;
    const std::string errFile = testing::TempDir() + "qdl_stderr_" + std::to_string(getpid()) + "_" +
                                std::to_string(calls++) + ".txt";
    const std::string cmd = std::string(QD_BIN_DIR) + "/qdl " + args + " 2>" + errFile;
    QdlResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (FILE* e = fopen(errFile.c_str(), "r")) {
        while ((n = fread(buf, 1, sizeof buf, e)) > 0) r.err.append(buf, n);
        fclose(e);
    }
    std::remove(errFile.c_str());
    return r;
}

}  // namespace qd::test
