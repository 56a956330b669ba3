// zelkar-reg: reads and writes Zelkar's registry store from the command line.
#include "tools/RegTool.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
  return zelkar::regtool::Run(args, stdout, stderr);
}
