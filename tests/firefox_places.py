# A Firefox places.sqlite as the import reads it: its tables and the roots
# every store has (1 root, 2 menu, 3 toolbar, 4 tags, 5 unfiled, 6 mobile),
# with the rows the caller's SQL adds.
import sqlite3

SCHEMA = """
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,
  dateAdded INTEGER, lastModified INTEGER, guid TEXT);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL,
  anno_attribute_id INTEGER, content LONGVARCHAR);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES
  (1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),
  (3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),
  (5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');
"""


def make(path, rows):
    db = sqlite3.connect(path)
    db.executescript(SCHEMA + rows)
    db.commit()
    db.close()
