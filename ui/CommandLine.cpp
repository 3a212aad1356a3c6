#include "ui/CommandLine.h"

#include "framework/SysUtils.h"

const char* NextByte(const char* position)
{
    return *position ? position + 1 : position;
}

const char* NextCommandLineToken(const char* p, std::string& token, TCharNext charNext)
{
    token.clear();
    // 1. Skip blanks and pairs of double quotes that stand before the token.
    for (;;) {
        if (*p >= 1 && *p <= ' ') {
            p = charNext(p);
        } else if (p[0] == '"' && p[1] == '"') {
            p += 2;
        } else {
            break;
        }
    }
    // 2. The token runs to the first blank outside quotes; 3. quotes are dropped.
    bool quoted = false;
    while (*p && (quoted || static_cast<unsigned char>(*p) > ' ')) {
        const char* next = charNext(p);
        if (*p == '"')
            quoted = !quoted;
        else
            token.append(p, static_cast<size_t>(next - p));
        p = next;
    }
    return p;
}

TCommandLineParams ParseCommandLine(const char* text, TCharNext charNext)
{
    TCommandLineParams params;
    if (!text)
        return params;
    std::string token;
    const char* p = NextCommandLineToken(text, token, charNext);
    if (token.empty())
        return params;
    params.ProgramFolder = ExtractFilePath(token);
    for (p = NextCommandLineToken(p, token, charNext); !token.empty(); p = NextCommandLineToken(p, token, charNext)) {
        const std::string upper = UpperCase(token);
        if (upper == "/ADD")
            params.Add = true;
        else if (upper == "/F")
            params.FullScreen = true;
        else if (upper == "/M")
            params.Minimize = true;
        else if (upper != "/PLAY" && upper != "/T")
            params.Names.push_back(token);
    }
    return params;
}

int ParamCount(const char* text, TCharNext charNext)
{
    int count = -1;
    std::string token;
    for (const char* p = NextCommandLineToken(text, token, charNext); !token.empty();
         p = NextCommandLineToken(p, token, charNext))
        ++count;
    return count < 0 ? 0 : count;
}
