/* Rows a new data database starts with. */

/* The database is at the current data version. */
INSERT INTO ACCVERSION (REC, MAJOR, MINOR1, MINOR2, MEMO) VALUES (1, 14, 0, 0, '');

/* Depreciation methods. */
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (1, '定額法');
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (2, '定率法');
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (3, '均等償却');
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (4, '一括償却');
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (5, '少額減価償却');
INSERT INTO GENKADIV (CODE, GDNAM) VALUES (6, 'リース期間定額法');

/* The blank facility and the blank department ("none"). */
INSERT INTO SISETUMST (SCODE, SNAME) VALUES (' ', '');
INSERT INTO BUMONMST (BCODE, BNAME) VALUES (' ', '');

COMMIT;
