// The bytes kvcli writes for a generated project, before and after its
// schedule, compared with the hashes of files written before the store, the
// record codec and the schedule passes were made faster. A deliberate change
// of what a project file holds changes these hashes with it.
#include <string>

#include "kvcli_runner.h"

namespace {

using FileBytes = ScratchTest;

std::string sha256(const std::string& path) {
  const CliRun run = runCommand("sha256sum '" + path + "'");
  return run.status == 0 ? run.out.substr(0, 64) : run.out;
}

TEST_F(FileBytes, GeneratedAndScheduledProjectKeepsItsBytes) {
  const std::string p = file("gen.kvp");
  const std::string env = isolatedEnvironment(dir_, dir_);
  ASSERT_EQ(kvcli("gen " + p + " --activities 30000 --relations 45000", env).status, 0);
  EXPECT_EQ(sha256(p), "1e7a9f477bd7e929626642c2ef9d47bda9c362367c9687e7f01e3a095790ceff");
  const CliRun run = kvcli("schedule " + p, env);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(sha256(p), "ee4e673f5818607e3490546019498d09f0273f0917b1ed5e86fec4b1b04c6dcb");
}

// Two summaries over generated work types: work types by letter and code
// with the activities under them weekly, facilities then letters monthly
// with weights and without milestones.
TEST_F(FileBytes, SummariesOfAGeneratedProjectKeepTheirBytes) {
  const std::string p = file("sum.kvp");
  const std::string env = isolatedEnvironment(dir_, dir_);
  ASSERT_EQ(kvcli("gen " + p + " --activities 20000 --relations 30000 --work-types", env).status,
            0);
  ASSERT_EQ(kvcli("schedule " + p, env).status, 0);
  ASSERT_EQ(kvcli("register-summary " + p +
                      " 1 --title a --compose 0,1 --option activities --option indent"
                      " --option number --option periods --period week",
                  env)
                .status,
            0);
  ASSERT_EQ(kvcli("register-summary " + p +
                      " 2 --title b --compose 10,0 --option activities --option periods"
                      " --option weighted --option no-milestones --period month",
                  env)
                .status,
            0);
  const CliRun run = kvcli("summary " + p + " --all --quiet", env);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(sha256(p), "966eff7807e08d9d140c15bf34894f2a00ef6036e982ea5bef49a38bd76a9dfa");
}

}  // namespace
