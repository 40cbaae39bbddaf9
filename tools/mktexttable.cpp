/* mktexttable SOURCE OUT: compiles the editable text table source into the
 * bytes of the launcher's RCDATA text table.
 * mktexttable --names SOURCE HEADER: writes the header of the texts' names
 * instead, and leaves a header that already reads so untouched (its date
 * included), so that code including it is not rebuilt for a text's change.
 * On an error prints one line naming the file, the entry and the problem,
 * and exits with 1. */
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

static int WriteWholeFile(const char *path, const std::string &data)
{
    FILE *out = fopen(path, "wb");
    if (!out) {
        fprintf(stderr, "mktexttable: %s: cannot write\n", path);
        return 0;
    }
    size_t written = fwrite(data.data(), 1, data.size(), out);
    if (fclose(out) != 0 || written != data.size()) {
        fprintf(stderr, "mktexttable: %s: cannot write\n", path);
        remove(path);
        return 0;
    }
    return 1;
}

int main(int argc, char **argv)
{
    int namesOnly = argc == 4 && std::string(argv[1]) == "--names";
    if (argc != 3 && !namesOnly) {
        fprintf(stderr, "usage: mktexttable SOURCE OUT\n       mktexttable --names SOURCE HEADER\n");
        return 2;
    }
    const char *sourcePath = argv[argc - 2], *outPath = argv[argc - 1];
    std::string source, table;
    std::vector<TextName> names;
    if (!ReadWholeFile(sourcePath, &source)) {
        fprintf(stderr, "mktexttable: %s: cannot read\n", sourcePath);
        return 1;
    }
    char error[300];
    if (!CompileTextTable(source.data(), source.size(), &table, error, sizeof error, &names)) {
        fprintf(stderr, "mktexttable: %s: %s\n", sourcePath, error);
        return 1;
    }
    if (!namesOnly)
        return WriteWholeFile(outPath, table) ? 0 : 1;
    std::string header = TextNamesHeader(names), old;
    if (ReadWholeFile(outPath, &old) && old == header)
        return 0;
    return WriteWholeFile(outPath, header) ? 0 : 1;
}
