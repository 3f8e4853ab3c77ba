// The launcher stopped at each change of files during a reset of config.ini and during a first
// start, with or without half of the bytes of the write it stops in on the disk. config.ini is the
// same whether the write was torn or not: never a part of a file. Started again, a reset gives
// exactly the file an uninterrupted one gives, and no temporary file is left.

#include "config/defaults.h"
#include "launch/registration.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quellix {
namespace {

TEST(CrashSafety, StoppedAtAnyChangeConfigIsAWholeFileAndAResetRecovers) {
    const std::optional<std::string> starts[] = {
        "; mes r\xE9glages\r\n[General]\r\nsansvalidation=0\r\nperso=garde\r\n\r\n[q3]\r\n"
        "path=C:\\Autre\\quake3.exe\r\npresent=1\r\n[extra]\r\ncle=valeur\r\n",
        "[General]\nacceleration=1\n[cod]\nPath=x\n", std::nullopt}; // none: a first start
    for (const std::optional<std::string>& start : starts) {
        // The machine after a run stopped at its change number `stop`.
        auto run = [&start](size_t stop, bool torn) {
            auto t = std::make_unique<test::TestSystem>();
            t->registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                            test::sz("D:\\Jeux\\Quake3\\quake3.exe"));
            if (start) {
                t->files.files[t->config].bytes = *start;
            }
            t->files.changesLeft = stop;
            t->files.torn = torn;
            if (start) {
                CreerConfigDefaut(t->os);
            } else {
                ensureConfigFile(t->os);
            }
            return t;
        };
        auto config = [](test::TestSystem& t) {
            return t.files.fileExists(t.config) ? std::optional(t.files.files[t.config].bytes)
                                                : std::nullopt;
        };
        const auto whole = run(SIZE_MAX, false);
        size_t stop = 0;
        for (; stop < 200; ++stop) {
            auto stopped = run(stop, false), torn = run(stop, true);
            EXPECT_EQ(config(*torn), config(*stopped)) << stop;
            torn->files.changesLeft = SIZE_MAX;
            CreerConfigDefaut(torn->os);
            EXPECT_EQ(config(*torn), config(*whole)) << stop;
            EXPECT_FALSE(torn->files.files.contains(torn->config + ".4242.tmp")) << stop;
            if (stopped->files.changesLeft > 0) {
                break; // it ended before that change
            }
        }
        EXPECT_GT(stop, 40u) << "far fewer changes than the defaults need";
    }
}

} // namespace
} // namespace quellix
