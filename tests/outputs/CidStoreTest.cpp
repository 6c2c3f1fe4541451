// The sACN CID: made once in the configuration folder, the same on every later run.
#include "outputs/CidStore.h"
#include "outputs/OutputFactory.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

TEST(CidStore, MadeOnceKeptAndFoundThroughXdgConfigHome) {
  const CTempFolder folder;
  ASSERT_EQ(::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1), 0);
  EXPECT_EQ(CCidStore::DefaultFolder(), folder.Path() / "vexmira");
  // Opening an sACN interface makes the CID; nothing is sent until a frame comes.
  ASSERT_TRUE(MakeOutput("sacn:1@127.0.0.1"));
  const CCidStore store(CCidStore::DefaultFolder());
  ASSERT_TRUE(std::filesystem::exists(store.File()));
  const auto first = store.Load();
  ASSERT_TRUE(first) << first.error().message;
  ASSERT_TRUE(MakeOutput("sacn:2@127.0.0.1"));
  EXPECT_EQ(*CCidStore(CCidStore::DefaultFolder()).Load(), *first);
  EXPECT_EQ((*first)[6] >> 4, 4);        // version 4
  EXPECT_EQ((*first)[8] & 0xC0, 0x80);  // variant

  std::ofstream(store.File()) << "damaged\n";
  const auto replaced = store.Load();
  ASSERT_TRUE(replaced) << replaced.error().message;
  EXPECT_NE(*replaced, *first);
  EXPECT_EQ(*store.Load(), *replaced);
  ::unsetenv("XDG_CONFIG_HOME");
}
