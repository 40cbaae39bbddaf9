/* mktexttable SOURCE OUT: compiles the editable text table source into the
 * bytes of the launcher's RCDATA text table. On an error prints one line
 * naming the file, the entry and the problem, and exits with 1. */
#include <stdio.h>
#include <string>

#include "tools/textcompile.h"

static int ReadWholeFile(const char *path, std::string *data)
{
    FILE *in = fopen(path, "rb");
    if (!in)
        return 0;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
        data->append(buffer, got);
    int ok = !ferror(in);
    fclose(in);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: mktexttable SOURCE OUT\n");
        return 2;
    }
    std::string source, table;
    if (!ReadWholeFile(argv[1], &source)) {
        fprintf(stderr, "mktexttable: %s: cannot read\n", argv[1]);
        return 1;
    }
    char error[300];
    if (!CompileTextTable(source.data(), source.size(), &table, error, sizeof error)) {
        fprintf(stderr, "mktexttable: %s: %s\n", argv[1], error);
        return 1;
    }
    FILE *out = fopen(argv[2], "wb");
    if (!out) {
        fprintf(stderr, "mktexttable: %s: cannot write\n", argv[2]);
        return 1;
    }
    size_t written = fwrite(table.data(), 1, table.size(), out);
    if (fclose(out) != 0 || written != table.size()) {
        fprintf(stderr, "mktexttable: %s: cannot write\n", argv[2]);
        remove(argv[2]);
        return 1;
    }
    return 0;
}
