/* Demo sales of three points of sale from 1 October 2026 up to the day the database is made
   (at least to 30 November 2026): cash ('CO') and credit ('CR') invoices with lines at each VAT
   rate, and the October adjustment factors. The figures of a day depend only on the day, so
   every demo database holds the same sales for the days they share. */

INSERT INTO PUNTO_VENTA VALUES ('CAJ1', 'Caja principal');
INSERT INTO PUNTO_VENTA VALUES ('CAJ2', 'Caja segundo piso');
INSERT INTO PUNTO_VENTA VALUES ('DOM', 'Domicilios');

INSERT INTO ARTICULO VALUES (1, 'Arroz 500 g', 2350, 5);
INSERT INTO ARTICULO VALUES (2, 'Aceite 1 l', 12900, 19);
INSERT INTO ARTICULO VALUES (3, 'Leche 1 l', 4200, 0);
INSERT INTO ARTICULO VALUES (4, 'Huevos x 30', 16500, 0);
INSERT INTO ARTICULO VALUES (5, 'Detergente 1 kg', 14800, 19);
INSERT INTO ARTICULO VALUES (6, 'Cafe 250 g', 9800, 5);
INSERT INTO ARTICULO VALUES (7, 'Gaseosa 1,5 l', 5600, 19);
INSERT INTO ARTICULO VALUES (8, 'Pan tajado', 6300, 19);
INSERT INTO ARTICULO VALUES (9, 'Azucar 1 kg', 4700, 5);
INSERT INTO ARTICULO VALUES (10, 'Papel higienico x 4', 8900, 19);
INSERT INTO ARTICULO VALUES (11, 'Frijol 500 g', 6100, 0);
INSERT INTO ARTICULO VALUES (12, 'Chocolate 250 g', 7400, 5);

INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);
INSERT INTO AJUSTE_CIERRE VALUES (2, '2026-10-01', '2026-10-31', 5, 0.9);

SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE DIA DATE;
  DECLARE P INTEGER;
  DECLARE PREF VARCHAR(10);
  DECLARE N INTEGER;
  DECLARE I INTEGER;
  DECLARE L INTEGER;
  DECLARE LINEAS INTEGER;
  DECLARE FACT INTEGER = 0;
  DECLARE DETA INTEGER = 0;
  DECLARE NUMERO INTEGER;
  DECLARE ART INTEGER;
  DECLARE HASTA DATE;
  DECLARE N1 INTEGER = 0;
  DECLARE N2 INTEGER = 0;
  DECLARE N3 INTEGER = 0;
BEGIN
  DIA = DATE '2026-10-01';
  HASTA = MAXVALUE(CURRENT_DATE, DATE '2026-11-30');
  WHILE (DIA <= HASTA) DO
  BEGIN
    P = 0;
    WHILE (P < 3) DO
    BEGIN
      PREF = DECODE(P, 0, 'CAJ1', 1, 'CAJ2', 'DOM');
      N = 3 + MOD(EXTRACT(DAY FROM DIA) * 7 + P * 3, 5);
      I = 0;
      WHILE (I < N) DO
      BEGIN
        FACT = FACT + 1;
        /* Invoice numbers run per point of sale. */
        IF (P = 0) THEN BEGIN N1 = N1 + 1; NUMERO = N1; END
        ELSE IF (P = 1) THEN BEGIN N2 = N2 + 1; NUMERO = N2; END
        ELSE BEGIN N3 = N3 + 1; NUMERO = N3; END
        INSERT INTO FACTURA (FACT_ID, FACT_PREFIJO, FACT_NUMERO, FACT_FECHA, FACT_FORMA_PAGO, FACT_CLIENTE)
        VALUES (:FACT, :PREF, :NUMERO, :DIA, IIF(MOD(:FACT, 4) = 0, 'CR', 'CO'),
                IIF(MOD(:FACT, 4) = 0, 'Cliente credito ' || MOD(:FACT, 17), 'Consumidor final'));
        LINEAS = 1 + MOD(FACT * 5, 4);
        L = 0;
        WHILE (L < LINEAS) DO
        BEGIN
          DETA = DETA + 1;
          ART = 1 + MOD(FACT * 5 + L * 7, 12);
          INSERT INTO FACTURA_DETALLE (FADE_ID, FADE_FACTURA, FADE_ARTICULO, FADE_CANTIDAD,
                                       FADE_VALOR_UNITARIO, FADE_PORC_IVA)
          SELECT :DETA, :FACT, ARTI_ID, 1 + MOD(:FACT + :L, 3), ARTI_PRECIO, ARTI_PORC_IVA
            FROM ARTICULO WHERE ARTI_ID = :ART;
          L = L + 1;
        END
        I = I + 1;
      END
      P = P + 1;
    END
    DIA = DIA + 1;
  END
END^
SET TERM ; ^

COMMIT;
