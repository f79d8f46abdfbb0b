#pragma once

// For the test programs only: the shipped programs never include this
// header. Each test database hashes its built-in administrator's password,
// and at the interactive cost that alone is a large part of a test run.
namespace Password {
// From now on this process hashes at the smallest cost argon2id allows.
// Verification reads the cost from each stored string, so these hashes
// verify like any other; they are weak and must never reach a real database.
void useMinimumCostForTests();
} // namespace Password
