// Makes a bookmark tree with the names an import must mend, through the
// browser's own bookmark service. The last bookmark tells the waiting script
// that the rest is there.
async function add(parentId, title, url) {
  return chrome.bookmarks.create(url ? {parentId, title, url} : {parentId, title});
}

async function fill() {
  const bar = "1", other = "2";
  await add(bar, "Debian", "https://www.debian.org/");
  const tech = await add(bar, "技術/資料");
  await add(tech.id, "CMake: docs", "https://cmake.org/cmake/help/latest/");
  await add(tech.id, "CON", "https://example.org/con");
  await add(tech.id, "同じ名前", "https://example.org/same/1");
  await add(tech.id, "同じ名前", "https://example.org/same/2");
  await add(tech.id, "again", "https://cmake.org/cmake/help/latest/");
  await add(tech.id, "終わりに点...", "https://example.org/dots");
  await add(tech.id, "", "https://untitled.example.org/page?q=1");
  const deep = await add(tech.id, "深い");
  await add(deep.id, "<script>", "https://example.org/a?x=1&y=<2>");
  await add(tech.id, "空のフォルダ");
  await add(other, "x".repeat(150), "https://example.org/long");
  await add(other, "Last", "https://example.org/last");
}

chrome.runtime.onInstalled.addListener(() => {
  fill();
});
