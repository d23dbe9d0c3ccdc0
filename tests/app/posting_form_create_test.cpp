// Window creation: the installation directory lookup, the server list in Servidor, and the
// failure path that shows the failure and still opens the window.
#include <QComboBox>

#include "posting_form_fixture.h"

namespace {

const char kNoKey[] =
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\KVN\\TalvoraSuite\\Directorio";

struct CreateCase {
  const char* what;
  std::optional<std::string> settings;  // "$DIR" stands for the installation folder
  std::optional<std::string> server_list;
  std::vector<UiCall> calls;
  std::vector<std::string> items;
  int selected;
};

const std::vector<CreateCase> kCreateCases = {
    {"installed", "[General]\nDirectorio=$DIR\n", "alfa\r\nbeta\r\n", {}, {"alfa", "beta"}, 0},
    {"first entry empty", "[General]\nDirectorio=$DIR\n", "\nalfa\n", {}, {"", "alfa"}, 0},
    {"empty server list", "[General]\nDirectorio=$DIR\n", "", {}, {}, -1},
    {"no server list", "[General]\nDirectorio=$DIR\n", std::nullopt, {}, {}, -1},
    {"no settings file", std::nullopt, "alfa\r\n", {{"information", kNoKey}}, {}, -1},
    {"empty directory value", "[General]\nDirectorio=\n", "alfa\r\n", {}, {}, -1},
    {"list value",
     "[General]\nDirectorio=a, b\n",
     "alfa\r\n",
     {{"failure", "Invalid data type for 'Directorio'"}},
     {},
     -1},
};

TEST_F(PostingFormTest, CreationFillsTheServerListOrReportsWhyNot) {
  for (const CreateCase& row : kCreateCases) {
    const CreateCase* c = &row;
    SCOPED_TRACE(c->what);
    std::filesystem::remove_all(root_ / "xdg" / "KVN");
    std::filesystem::remove(install_dir_ / "SERVIDORES.cfg");
    std::optional<std::string> settings = c->settings;
    if (settings) {
      const std::size_t at = settings->find("$DIR");
      if (at != std::string::npos) settings->replace(at, 4, install_dir_.string());
    }
    Install(settings, c->server_list);
    ui_.calls.clear();
    TPostingForm& form = Open();
    EXPECT_EQ(ui_.calls, c->calls);
    std::vector<std::string> items;
    for (int i = 0; i < form.Servidor()->count(); ++i)
      items.push_back(form.Servidor()->itemText(i).toStdString());
    EXPECT_EQ(items, c->items);
    EXPECT_EQ(form.ServerList(), c->items);
    EXPECT_EQ(form.Servidor()->currentIndex(), c->selected);
    EXPECT_TRUE(form.isVisible());
  }
}

}  // namespace
