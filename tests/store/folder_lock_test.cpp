// SPDX-License-Identifier: GPL-3.0-or-later
// The case folder lock: which modes share a folder, and changing modes.
#include "store/folder_lock.h"
#include "store_helpers.h"

namespace qd::test {

using FolderLockTest = StoreTest;
using M = TFolderLockMode;

TEST_F(FolderLockTest, ModesShareAsDocumented) {
    struct Case {
        M held, wanted;
        bool granted;
    } cases[] = {
        {M::Read, M::Read, true},       {M::Read, M::Write, true},       {M::Read, M::Exclusive, false},
        {M::Write, M::Read, true},      {M::Write, M::Write, false},     {M::Write, M::Exclusive, false},
        {M::Exclusive, M::Read, false}, {M::Exclusive, M::Write, false}, {M::Exclusive, M::Exclusive, false},
    };
    for (const Case& c : cases) {
        CCaseFolderLock holder(Home()), other(Home());
        ASSERT_TRUE(holder.TryLock(c.held));
        EXPECT_EQ(other.TryLock(c.wanted), c.granted) << int(c.held) << " then " << int(c.wanted);
        EXPECT_EQ(other.Mode(), c.granted ? c.wanted : M::None);
        if (!c.granted) {
            EXPECT_EQ(other.ErrorText(), kFolderInUseText);
        }
    }
}

TEST_F(FolderLockTest, ChangingModeKeepsTheOldOneWhenRefused) {
    CCaseFolderLock window(Home()), reader(Home()), other(Home());
    ASSERT_TRUE(window.TryLock(M::Write));
    ASSERT_TRUE(reader.TryLock(M::Read));
    // A compaction started from the window waits for no reader.
    EXPECT_FALSE(window.TryLock(M::Exclusive));
    EXPECT_EQ(window.Mode(), M::Write);
    EXPECT_FALSE(other.TryLock(M::Write));  // still the one writer
    reader.Unlock();
    EXPECT_TRUE(window.TryLock(M::Exclusive));
    EXPECT_FALSE(reader.TryLock(M::Read));
    // Back to writing: readers may come again, writers may not.
    EXPECT_TRUE(window.TryLock(M::Write));
    EXPECT_TRUE(reader.TryLock(M::Read));
    EXPECT_FALSE(other.TryLock(M::Write));
    window.Unlock();
    EXPECT_TRUE(other.TryLock(M::Write));
}

TEST_F(FolderLockTest, AMissingFolderIsNoConflict) {
    CCaseFolderLock lock(Home() + "nowhere/");
    EXPECT_FALSE(lock.TryLock(M::Read));
    EXPECT_NE(lock.ErrorText(), kFolderInUseText);
}

}  // namespace qd::test
