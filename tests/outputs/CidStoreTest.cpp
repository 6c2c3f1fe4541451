// The sACN CID: made once, kept across runs, one for each copy running at once, a damaged file left alone.
#include "outputs/CidStore.h"
#include "outputs/OutputFactory.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

TEST(CidStore, MadeOnceKeptOnePerRunningCopyAndNeverReplaced) {
  const CTempFolder folder;
  ASSERT_EQ(::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1), 0);
  EXPECT_EQ(CCidStore::DefaultFolder(), folder.Path() / "vexmira");
  // Opening an sACN interface makes the CID; nothing is sent until a frame comes.
  ASSERT_TRUE(MakeOutput("sacn:1@127.0.0.1"));
  ::unsetenv("XDG_CONFIG_HOME");
  const CCidStore store(folder.Path() / "vexmira");
  ASSERT_TRUE(std::filesystem::exists(store.File()));
  CCidStore::CClaim first = store.Claim();
  EXPECT_EQ(first.notice, "");
  EXPECT_EQ(first.cid[6] >> 4, 4);        // version 4
  EXPECT_EQ(first.cid[8] & 0xC0, 0x80);  // variant
  // A second copy while the first runs: a CID of its own, kept beside the first.
  CCidStore::CClaim second = store.Claim();
  EXPECT_EQ(second.notice, "another copy of the program uses the sACN source id in " + store.File().string() +
                               "; this copy uses " + store.File(2).string());
  EXPECT_NE(second.cid, first.cid);
  first.lock.reset();
  second.lock.reset();
  const CCidStore::CClaim firstAgain = store.Claim();
  EXPECT_EQ(firstAgain.cid, first.cid);
  EXPECT_EQ(store.Claim().cid, second.cid) << "the second copy's CID is kept";

  // Blanks around the CID are no damage; anything else is left as it is.
  std::ofstream(store.File(2)) << " " << CCidStore::Format(first.cid) << std::string(300, '\n');
  EXPECT_EQ(store.Claim().cid, first.cid);
  const CCidStore damaged(folder.Path());
  std::ofstream(damaged.File()) << "damaged\n";
  const CCidStore::CClaim own = damaged.Claim();
  EXPECT_EQ(own.notice, "the sACN source id file " + damaged.File().string() +
                            " holds no source id (a UUID); it is left as it is, and this run uses a source id of its "
                            "own");
  EXPECT_FALSE(own.lock);
  EXPECT_EQ(ReadFile(damaged.File()), "damaged\n");
}
