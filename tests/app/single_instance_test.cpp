// Single instance, with real processes: a second start exits 1 and the first gets
// exactly one activation; a crashed instance does not block the next start.

#include <gtest/gtest.h>

#include <QProcess>
#include <QUuid>

using namespace std::string_literals;

namespace {

constexpr int kGenerous = 30000;  // upper bounds only; every wait ends on an event

QString unique_name() { return "NorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128).left(12); }

// Starts a probe and waits for its first line.
QString start_probe(QProcess& p, const QString& name) {
  p.setProgram(NORVANE_PROBE);
  p.setArguments({name});
  p.start();
  if (!p.waitForStarted(kGenerous)) return "not started";
  while (!p.canReadLine()) {
    if (!p.waitForReadyRead(kGenerous)) return "no output";
  }
  return QString::fromUtf8(p.readLine()).trimmed();
}

TEST(SingleInstanceTest, SecondStartExitsOneAndTheFirstIsActivatedOnce) {
  const QString name = unique_name();
  QProcess first;
  ASSERT_EQ(start_probe(first, name), "primary");

  QProcess second;
  EXPECT_EQ(start_probe(second, name), "answered=1");
  ASSERT_TRUE(second.waitForFinished(kGenerous));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 1);

  first.write("quit\n");
  first.closeWriteChannel();
  ASSERT_TRUE(first.waitForFinished(kGenerous));
  EXPECT_EQ(QString::fromUtf8(first.readAll()).trimmed(), "activations=1");
  EXPECT_EQ(first.exitCode(), 0);
}

TEST(SingleInstanceTest, CrashedInstanceLeavesNothingThatBlocksTheNextStart) {
  const QString name = unique_name();
  QProcess crashed;
  ASSERT_EQ(start_probe(crashed, name), "primary");
  crashed.kill();  // SIGKILL: lock file and socket stay behind
  ASSERT_TRUE(crashed.waitForFinished(kGenerous));

  QProcess next;
  EXPECT_EQ(start_probe(next, name), "primary");
  next.write("quit\n");
  next.closeWriteChannel();
  ASSERT_TRUE(next.waitForFinished(kGenerous));
  EXPECT_EQ(QString::fromUtf8(next.readAll()).trimmed(), "activations=0");
}

}  // namespace
